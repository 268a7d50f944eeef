#include "app/vortan1.h"

#include "app/about/vortan2.h"
#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_commands.h"
#include "app/exercise_text_dialogs.h"
#include "app/settings_model.h"
#include "app/single_file_dialog.h"
#include "app/temporary_sound_file.h"
#include "app/text_printer.h"
#include "app/toolbar_glyphs.h"
#include "base/errors.h"
#include "controls/Rcadigi.h"
#include "controls/WaveControl.h"
#include "controls/digit_strip.h"
#include "desktop/windows1250.h"
#include "files/stop_request.h"
#include "settings/settings_file.h"
#include "sound/sound_player.h"
#include "synthesis/synthesizer.h"
#include "ui_vortan1.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>

#include <cstdio>

namespace vortan {

namespace {

constexpr int kDigitCellWidth = 16;

// A plain top-level QWidget reads as a "filler" to screen readers; the main window is a frame.
QAccessibleInterface* mainWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("vortan::TForm1") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QFont fontOf(const QStringList& families, int pixelSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

TForm1::TForm1(const ProgramContext& context, QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TForm1>())
    , m_settings(context.settings)
    , m_synthesizer(context.synthesizer)
    , m_random(context.random)
    , m_clock(context.clock)
    , m_player(context.player)
    , m_settingsFile(context.settingsFile)
    , m_temporarySoundFile(context.temporarySoundFile)
    , m_reportError([this](const QString& text) { showErrorBox(this, text); })
    , m_chooseWavFile([this] { return chooseWavFileWithDialog(); })
    , m_textDialogs(std::make_unique<ExerciseTextDialogs>())
{
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(mainWindowAccessible);
        return true;
    }();
    Q_UNUSED(accessibleFactoryInstalled);
    ui->setupUi(this);
    // Fixed size, minimise but no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(378, 423);
    move(223, 99);
    ui->volumer1->setOutputVolume(context.outputVolume);
    restrictToWindows1250(*ui->Memo1);
    ui->ComboBox1->setEditText(
        QString::fromLatin1(kDefaultChars.data(), static_cast<qsizetype>(kDefaultChars.size())));
    // An editable box reads out its text as its name; its edit field carries the name.
    ui->ComboBox1->lineEdit()->setAccessibleName(ui->ComboBox1->accessibleName());
    ui->SpeedBar1->setAccessibleName(QStringLiteral("Commands"));
    ui->SpeedBar2->setAccessibleName(QStringLiteral("Settings"));
    applyFonts();
    setUpDisplays();
    setUpGlyphsAndShortcuts();
    connectControls();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setErrorReporter(ErrorReporter reporter)
{
    m_reportError = std::move(reporter);
}

void TForm1::setWavFileChooser(FileChooser chooser)
{
    m_chooseWavFile = std::move(chooser);
}

void TForm1::setTextDialogs(std::unique_ptr<ExerciseTextDialogs> dialogs)
{
    m_textDialogs = std::move(dialogs);
}

void TForm1::setAboutWindow(TForm2* aboutWindow)
{
    m_aboutWindow = aboutWindow;
}

bool TForm1::runCommand(const std::function<void()>& command)
{
    // The one place where a command's error reaches the user.
    try {
        command();
        return true;
    } catch (const StopRequested&) {
        // The program is ending; the termination signal's handler takes it from here.
    } catch (const std::exception& error) {
        m_reportError(errorBoxText(error.what()));
    } catch (...) {
        m_reportError(errorBoxText("Unexpected error"));
    }
    return false;
}

void TForm1::applyFonts()
{
    // The classic Windows fonts are not on Debian; these are metric-compatible or close.
    const QFont sans =
        fontOf({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, 11);
    setFont(sans);
    QFont mono =
        fontOf({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}, 13);
    mono.setStyleHint(QFont::Monospace);
    mono.setFixedPitch(true);
    ui->Memo1->setFont(mono);
}

void TForm1::setUpDisplays()
{
    const QImage trueColour = trueColourDigitStrip();
    for (TRCADigital* display :
         {ui->RCADigital1, ui->RCADigital2, ui->RCADigital3, ui->RCADigital4, ui->RCADigital6}) {
        display->setNumbers(trueColour);
        display->setNumberWidth(kDigitCellWidth);
    }
    ui->RCADigital5->setNumbers(sixteenColourDigitStrip());
    ui->RCADigital5->setNumberWidth(kDigitCellWidth);
}

void TForm1::setUpGlyphsAndShortcuts()
{
    const std::pair<QAbstractButton*, Glyph> glyphs[] = {
        {ui->SpeedItem1, Glyph::Play},      {ui->SpeedItem2, Glyph::Stop},
        {ui->SpeedItem3, Glyph::Random},    {ui->SpeedItem4, Glyph::Clear},
        {ui->SpeedItem8, Glyph::Open},      {ui->SpeedItem9, Glyph::Save},
        {ui->SpeedItem10, Glyph::Wav},      {ui->SpeedItem15, Glyph::About},
        {ui->SpeedItem11, Glyph::Defaults}, {ui->SpeedItem14, Glyph::Print},
        {ui->SpeedItem5, Glyph::Settings1}, {ui->SpeedItem6, Glyph::Settings2},
        {ui->SpeedItem7, Glyph::Settings3},
    };
    for (const auto& [button, glyph] : glyphs)
        button->setIcon(glyphIcon(glyph));

    // Function keys, so that typing in the text box never triggers them.
    const auto addShortcut = [this](QKeySequence keys, void (TForm1::*handler)()) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    };
    addShortcut(QKeySequence(Qt::Key_F5), &TForm1::SpeedButton1Click);
    addShortcut(QKeySequence(Qt::Key_F6), &TForm1::SpeedButton2Click);
    ui->SpeedItem1->setToolTip(ui->SpeedItem1->toolTip() + QStringLiteral(" (F5)"));
    ui->SpeedItem2->setToolTip(ui->SpeedItem2->toolTip() + QStringLiteral(" (F6)"));
}

void TForm1::connectCommand(QAbstractButton* button, void (TForm1::*handler)())
{
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectControls()
{
    connectCommand(ui->SpeedItem1, &TForm1::SpeedButton1Click);
    connectCommand(ui->SpeedItem2, &TForm1::SpeedButton2Click);
    connectCommand(ui->SpeedItem3, &TForm1::N2Click);
    connectCommand(ui->SpeedItem4, &TForm1::Nowytekst1Click);
    connectCommand(ui->SpeedItem8, &TForm1::Otwrzplikzeznakami1Click);
    connectCommand(ui->SpeedItem9, &TForm1::Zapiszznaki1Click);
    connectCommand(ui->SpeedItem10, &TForm1::Zapiszdwik1Click);
    connectCommand(ui->SpeedItem15, &TForm1::O1Click);
    connectCommand(ui->SpeedItem11, &TForm1::Ustawstandardowe1Click);
    connectCommand(ui->SpeedItem14, &TForm1::Drukuj1Click);
    connectCommand(ui->SpeedItem5, &TForm1::SpeedItem5Click);
    connectCommand(ui->SpeedItem6, &TForm1::SpeedItem6Click);
    connectCommand(ui->SpeedItem7, &TForm1::SpeedItem7Click);

    // valueChanged covers every user's move (keys, drags, track clicks, a screen reader's
    // setValue); setall's own moves are told apart by m_applyingPreset.
    const std::pair<QSlider*, void (TForm1::*)()> sliders[] = {
        {ui->TrackBar1, &TForm1::TrackBar1Change}, {ui->TrackBar2, &TForm1::TrackBar2Change},
        {ui->TrackBar3, &TForm1::TrackBar3Change}, {ui->TrackBar4, &TForm1::TrackBar4Change},
        {ui->TrackBar5, &TForm1::TrackBar5Change},
    };
    for (const auto& [slider, handler] : sliders) {
        connect(slider, &QSlider::valueChanged, this, [this, handler = handler] {
            if (!m_applyingPreset)
                runCommand([this, handler] { (this->*handler)(); });
        });
    }
    connect(ui->ComboBox1, &QComboBox::currentTextChanged, this, [this] {
        if (!m_applyingPreset)
            runCommand([this] { ComboBox1Change(); });
    });
}

void TForm1::FormCreate()
{
    applyToolbarBackground();
    ui->SpeedBar1->setFont(font());
    Odczytaj1Click(m_settingsFile, m_settings.presets());
    m_presetsAtStart = m_settings.presets();
    m_settings.selectPreset(1);
    ui->SpeedItem5->setChecked(true);
    setall();
    appendExerciseLine(*ui->Memo1, kOpeningLine);
    setModifiedMark();
}

void TForm1::applyToolbarBackground()
{
    QPalette palette = ui->SpeedBar1->palette();
    const QColor face = palette.color(QPalette::Button);
    // On a black button face the picture would fight the captions: plain bar then.
    if (face.rgb() == qRgb(0, 0, 0))
        palette.setBrush(QPalette::Window, face);
    else
        palette.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(backgroundPicture())));
    ui->SpeedBar1->setPalette(palette);
    ui->SpeedBar1->setAutoFillBackground(true);
}

void TForm1::setModifiedMark()
{
    ui->Memo1->document()->setModified(true);
}

void TForm1::showTempo()
{
    ui->RCADigital5->setValue(transmissionTempo(ui->TrackBar1->value(), ui->TrackBar2->value()));
}

void TForm1::setall()
{
    const SettingsPreset& preset = m_settings.current();
    m_applyingPreset = true;
    // The sliders clamp out-of-range numbers; the preset keeps them as they are.
    ui->TrackBar1->setValue(preset.speed);
    ui->TrackBar2->setValue(preset.spaces);
    ui->TrackBar3->setValue(preset.tone);
    ui->TrackBar4->setValue(preset.noise);
    ui->TrackBar5->setValue(preset.straight);
    ui->ComboBox1->setEditText(windows1250::toUnicode(preset.chars));
    m_applyingPreset = false;
    ui->RCADigital1->setValue(ui->TrackBar1->value());
    ui->RCADigital2->setValue(ui->TrackBar2->value());
    ui->RCADigital3->setValue(ui->TrackBar3->value());
    ui->RCADigital4->setValue(ui->TrackBar4->value());
    showTempo();
    ui->RCADigital6->setValue(ui->TrackBar5->value());
    setModifiedMark();
}

void TForm1::TrackBar1Change()
{
    ui->RCADigital1->setValue(ui->TrackBar1->value());
    showTempo();
    m_settings.current().speed = ui->TrackBar1->value();
    setModifiedMark();
}

void TForm1::TrackBar2Change()
{
    ui->RCADigital2->setValue(ui->TrackBar2->value());
    showTempo();
    m_settings.current().spaces = ui->TrackBar2->value();
    setModifiedMark();
}

void TForm1::TrackBar3Change()
{
    ui->RCADigital3->setValue(ui->TrackBar3->value());
    m_settings.current().tone = ui->TrackBar3->value();
    setModifiedMark();
}

void TForm1::TrackBar4Change()
{
    ui->RCADigital4->setValue(ui->TrackBar4->value());
    m_settings.current().noise = ui->TrackBar4->value();
    setModifiedMark();
}

void TForm1::TrackBar5Change()
{
    ui->RCADigital6->setValue(ui->TrackBar5->value());
    m_settings.current().straight = ui->TrackBar5->value();
    setModifiedMark();
}

void TForm1::ComboBox1Change()
{
    m_settings.current().chars = windows1250::fromUnicode(ui->ComboBox1->currentText());
}

void TForm1::SpeedItem5Click()
{
    m_settings.selectPreset(1);
    setall();
}

void TForm1::SpeedItem6Click()
{
    m_settings.selectPreset(2);
    setall();
}

void TForm1::SpeedItem7Click()
{
    m_settings.selectPreset(3);
    setall();
}

void TForm1::Ustawstandardowe1Click()
{
    m_settings.restoreDefaults();
    setall();
    setModifiedMark();
}

std::string TForm1::exerciseText() const
{
    return exerciseTextBytes(*ui->Memo1);
}

void TForm1::renderTo(const std::filesystem::path& wavFile, const WriteRules& rules)
{
    SynthesisSettings settings;
    settings.speed = ui->TrackBar1->value();
    settings.spaces = ui->TrackBar2->value();
    settings.tone = ui->TrackBar3->value();
    settings.noise = ui->TrackBar4->value();
    settings.straight = ui->TrackBar5->value();
    m_synthesizer.txtofile(wavFile, exerciseText(), settings, rules);
}

void TForm1::SpeedButton1Click()
{
    QTextDocument* document = ui->Memo1->document();
    // The file is also gone after a refused close deleted it; then there is nothing to replay.
    if (document->isModified() || !std::filesystem::exists(m_temporarySoundFile)) {
        // The server may still read the old file; stop it before the file is replaced.
        if (m_player != nullptr)
            m_player->stop();
        preparePrivateFolder(m_temporarySoundFile.parent_path());
        renderTo(m_temporarySoundFile, kTemporarySoundFileRules);
    }
    document->setModified(false);
    if (m_player != nullptr)
        m_player->play(m_temporarySoundFile);
}

void TForm1::SpeedButton2Click()
{
    if (m_player != nullptr)
        m_player->stop();
}

std::optional<std::filesystem::path> TForm1::chooseWavFileWithDialog()
{
    if (m_wavDialog == nullptr) {
        m_wavDialog = new SingleFileDialog(this);
        m_wavDialog->setAcceptMode(QFileDialog::AcceptSave);
        // Linux names are case-sensitive: the WAV choice shows .wav files as well.
        m_wavDialog->setNameFilters({QStringLiteral("Pliki dźwiękowe (*.WAV *.wav)"),
                                     QStringLiteral("Wszystkie pliki (*)")});
        m_wavDialog->setDefaultSuffix(QStringLiteral("wav"));
        m_wavDialog->setOptions(QFileDialog::DontConfirmOverwrite |
                                QFileDialog::DontUseNativeDialog);
    }
    if (m_wavDialog->exec() != QDialog::Accepted || m_wavDialog->chosenFile().isEmpty())
        return std::nullopt;
    const QString chosen = m_wavDialog->chosenFile();
    m_wavDialog->selectFile(chosen); // the next Save WAV offers the same name
    return std::filesystem::path(chosen.toStdString());
}

void TForm1::Zapiszdwik1Click()
{
    if (const std::optional<std::filesystem::path> chosen = m_chooseWavFile())
        renderTo(*chosen, WriteRules{});
    setModifiedMark();
}

void TForm1::N2Click()
{
    appendRandomLine(*ui->Memo1, ui->ComboBox1->currentText(), m_random, m_clock);
}

void TForm1::Nowytekst1Click()
{
    clearExerciseText(*ui->Memo1);
}

void TForm1::Otwrzplikzeznakami1Click()
{
    openExerciseText(*ui->Memo1, *m_textDialogs);
}

void TForm1::Zapiszznaki1Click()
{
    saveExerciseText(*ui->Memo1, *m_textDialogs);
}

void TForm1::Drukuj1Click()
{
    if (const std::string notice = printExerciseText(*ui->Memo1); !notice.empty())
        showNoticeBox(this, errorBoxText(notice));
}

void TForm1::O1Click()
{
    if (m_aboutWindow != nullptr)
        m_aboutWindow->showAbout();
}

void TForm1::FormClose()
{
    std::error_code ignored;
    std::filesystem::remove(m_temporarySoundFile, ignored);
    Zapisz1Click(m_settingsFile, m_settings.presets(), m_presetsAtStart);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (runCommand([this] { FormClose(); })) {
        event->accept();
        emit closed();
    } else {
        event->ignore();
    }
}

void TForm1::endSession() noexcept
{
    std::error_code ignored;
    std::filesystem::remove(m_temporarySoundFile, ignored);
    try {
        Zapisz1Click(m_settingsFile, m_settings.presets(), m_presetsAtStart);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vortan: settings not saved at session end: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "vortan: settings not saved at session end\n");
    }
}

} // namespace vortan
