// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vortan1.h"

#include "app/about/vortan2.h"
#include "app/commands/command_runner.h"
#include "app/commands/error_box.h"
#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_commands.h"
#include "app/exercise_text_dialogs.h"
#include "app/play_rendering.h"
#include "app/settings_model.h"
#include "app/single_file_dialog.h"
#include "app/temporary_sound_file.h"
#include "app/text_printer.h"
#include "base/errors.h"
#include "controls/Rcadigi.h"
#include "controls/WaveControl.h"
#include "controls/digit_strip.h"
#include "desktop/accessible_factories.h"
#include "desktop/program_font.h"
#include "desktop/windows1250.h"
#include "files/replacing_file_writer.h"
#include "files/stop_request.h"
#include "settings/character_sets.h"
#include "settings/options_store.h"
#include "settings/settings_file.h"
#include "settings/settings_preset.h"
#include "sound/sound_player.h"
#include "synthesis/synthesizer.h"
#include "ui_vortan1.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

namespace vortan {

namespace {

constexpr int kDigitCellWidth = 16;

// A plain top-level QWidget reads as a "filler" to screen readers; the main window is a frame.
// The plain frames right in it are its two toolbars, which would read as frames of their own.
QAccessibleInterface* mainWindowAccessible(const QString& className, QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    if (className == QLatin1StringView("vortan::TForm1"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1StringView("QFrame") && qobject_cast<TForm1*>(object->parent()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::ToolBar);
    return nullptr;
}

// The top toolbar's picture, at the size it was drawn for.
QPixmap toolbarBackground()
{
    QSvgRenderer picture(QStringLiteral(":/toolbar/background.svg"));
    QPixmap pixmap(picture.defaultSize());
    QPainter painter(&pixmap);
    picture.render(&painter);
    return pixmap;
}

// Where a setting's slider and display stand in the window's arrays: the schema's order.
std::size_t indexOf(IntegerSettingId id)
{
    return static_cast<std::size_t>(id);
}

} // namespace

TForm1::TForm1(const MainWindowServices& services, MainWindowFiles files, QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TForm1>())
    , m_settings(services.settings)
    , m_synthesizer(services.synthesizer)
    , m_random(services.random)
    , m_clock(services.clock)
    , m_player(services.player)
    , m_commands(services.commands)
    , m_aboutWindow(services.aboutWindow)
    , m_options(services.options)
    , m_files(std::move(files))
    , m_chooseWavFile([this] { return chooseWavFileWithDialog(); })
    , m_textDialogs(std::make_unique<ExerciseTextDialogs>())
    , m_printText([this](const QPlainTextEdit& memo) {
        // A paused queue takes the job: say so, the job is not lost.
        if (const std::string notice = printExerciseText(memo); !notice.empty())
            showNoticeBox(this, errorBoxText(notice));
    })
{
    installAccessibleFactory(mainWindowAccessible);
    ui->setupUi(this);
    m_sliders = {ui->TrackBar1, ui->TrackBar2, ui->TrackBar3, ui->TrackBar4, ui->TrackBar5};
    m_displays = {ui->RCADigital1, ui->RCADigital2, ui->RCADigital3, ui->RCADigital4,
                  ui->RCADigital6};
    // Fixed size, minimise but no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(378, 423);
    move(223, 99);
    ui->volumer1->setOutputVolume(&services.outputVolume);
    restrictToWindows1250(*ui->Memo1);
    setUpSettingControls();
    // The box holds the set as typed: completing "ab" to the first entry that starts with it
    // would quietly draw from another set.
    ui->ComboBox1->setCompleter(nullptr);
    // An editable box reads out its text as its name; its edit field carries the name.
    ui->ComboBox1->lineEdit()->setAccessibleName(ui->ComboBox1->accessibleName());
    ui->SpeedBar1->setAccessibleName(tr("Commands"));
    ui->SpeedBar2->setAccessibleName(tr("Settings"));
    applyFonts();
    setUpDisplays();
    setUpCommands();
    setUpPresetButtons();
    setUpTextCover();
    connectControls();
    connectModel();
    // The server may go away while a sound plays: said at once, not at the next Play.
    m_player.setSoundLostHandler([this](const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, reason] { m_commands.run([&reason] { throw Error(reason); }); },
            Qt::QueuedConnection);
    });
    FormCreate();
}

TForm1::~TForm1()
{
    m_player.setSoundLostHandler(nullptr);
}

void TForm1::setWavFileChooser(FileChooser chooser)
{
    m_chooseWavFile = std::move(chooser);
}

void TForm1::setTextDialogs(std::unique_ptr<ExerciseTextDialogs> dialogs)
{
    m_textDialogs = std::move(dialogs);
}

void TForm1::setTextPrinter(TextPrinter printer)
{
    m_printText = std::move(printer);
}

void TForm1::applyFonts()
{
    setFont(programFont(11));
    // The classic Windows fixed font is not on Debian; these are metric-compatible or close.
    QFont mono;
    mono.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    mono.setPixelSize(13);
    mono.setStyleHint(QFont::Monospace);
    mono.setFixedPitch(true);
    ui->Memo1->setFont(mono);
}

void TForm1::setUpSettingControls()
{
    // The layout places the controls; their ranges, steps and entries are the schema's.
    for (const IntegerSetting& setting : kIntegerSettings) {
        QSlider* slider = m_sliders[indexOf(setting.id)];
        slider->setRange(setting.minimum, setting.maximum);
        slider->setPageStep(setting.step);
        slider->setTickInterval(setting.step);
        slider->setValue(setting.start);
    }
    for (const std::string_view characterSet : kCharacterSets)
        ui->ComboBox1->addItem(windows1250::toUnicode(characterSet));
    ui->ComboBox1->setEditText(windows1250::toUnicode(kDefaultChars));
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

QAction* TForm1::addCommand(const Command& command)
{
    auto* action = new QAction(command.text, this);
    action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1StringView(command.icon))));
    action->setShortcut(command.keys);
    // The hint, and so the button's accessible description, names the key.
    action->setToolTip(command.hint + QStringLiteral(" (") +
                       command.keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(action, &QAction::triggered, this, m_commands.command(this, command.handler));
    addAction(action);
    command.button->setDefaultAction(action);
    return action;
}

void TForm1::setUpCommands()
{
    // Each command in one place: its button, caption, hint, picture, key and handler. The keys
    // work anywhere in the window and none of them is a key that types or edits text, so the
    // text box and the character-set box keep every key they use.
    using namespace Qt::StringLiterals;
    const Command commands[] = {
        {ui->SpeedItem1, u"Play"_s, u"Nadawaj"_s, "play", QKeySequence(Qt::Key_F5),
         &TForm1::SpeedButton1Click},
        {ui->SpeedItem2, u"Stop"_s, u"Zatrzymaj"_s, "stop", QKeySequence(Qt::Key_F6),
         &TForm1::SpeedButton2Click},
        {ui->SpeedItem3, u"Random"_s, u"Generuj losowo"_s, "random",
         QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::N2Click},
        {ui->SpeedItem4, u"Clear"_s, u"Wyczyść znaki"_s, "clear", QKeySequence::New,
         &TForm1::Nowytekst1Click},
        {ui->SpeedItem8, u"Open"_s, u"Otwórz plik ze znakami"_s, "open", QKeySequence::Open,
         &TForm1::Otwrzplikzeznakami1Click},
        {ui->SpeedItem9, u"Save"_s, u"Zapisz znaki"_s, "save", QKeySequence::Save,
         &TForm1::Zapiszznaki1Click},
        {ui->SpeedItem10, u"WAV"_s, u"Zapisz dźwięk do WAV"_s, "wav",
         QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::Zapiszdwik1Click},
        {ui->SpeedItem15, u"About"_s, u"About\nO..."_s, "about", QKeySequence(Qt::Key_F1),
         &TForm1::O1Click},
        {ui->SpeedItem11, u"Default settings"_s, u"Default settings\nStandardowe ustawienia"_s,
         "defaults", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
         &TForm1::Ustawstandardowe1Click},
        {ui->SpeedItem14, u"Print"_s, u"Print\nDrukuj"_s, "print", QKeySequence::Print,
         &TForm1::Drukuj1Click},
        {ui->OptionsButton, u"Options"_s, u"Options\nOpcje"_s, "options",
         QKeySequence(Qt::CTRL | Qt::Key_Comma), &TForm1::OptionsClick},
        {ui->CheckCopyButton, u"Check copy"_s, u"Check copy\nSprawdź odbiór"_s, "check-copy",
         QKeySequence(Qt::Key_F7), &TForm1::CheckCopyClick},
        {ui->ProgressButton, u"Progress"_s, u"Progress\nPostępy"_s, "progress",
         QKeySequence(Qt::Key_F8), &TForm1::ProgressClick},
    };
    for (const Command& command : commands)
        addCommand(command);
}

void TForm1::setUpPresetButtons()
{
    using namespace Qt::StringLiterals;
    const Command presets[] = {
        {ui->SpeedItem5, u"Settings 1"_s, u"Settings 1\nUstawienia 1"_s, "settings1",
         QKeySequence(Qt::CTRL | Qt::Key_1), &TForm1::SpeedItem5Click},
        {ui->SpeedItem6, u"Settings 2"_s, u"Settings 2\nUstawienia 2"_s, "settings2",
         QKeySequence(Qt::CTRL | Qt::Key_2), &TForm1::SpeedItem6Click},
        {ui->SpeedItem7, u"Settings 3"_s, u"Settings 3\nUstawienia 3"_s, "settings3",
         QKeySequence(Qt::CTRL | Qt::Key_3), &TForm1::SpeedItem7Click},
    };
    auto* group = new QActionGroup(this);
    for (int number = 1; number <= 3; ++number) {
        // A click, its key or an arrow among the presets triggers the action: the preset is
        // applied, anew when it was current already. A screen reader's Toggle action puts a
        // button down without a click; the model then selects its preset unless that one is
        // current already.
        const Command& preset = presets[number - 1];
        QAction* action = addCommand(preset);
        action->setCheckable(true);
        action->setActionGroup(group);
        m_presetActions[static_cast<std::size_t>(number - 1)] = action;
        const auto select = m_commands.command(this, preset.handler);
        connect(preset.button, &QAbstractButton::toggled, this, [this, number, select](bool down) {
            if (down && m_settings.currentPresetNumber() != number)
                select();
        });
    }
}

void TForm1::connectControls()
{
    // valueChanged covers every user's move (keys, drags, track clicks, a screen reader's
    // setValue). A move made to show the model writes nothing back: the model takes a slider's
    // position only when it differs from what the slider shows of the preset.
    const std::array<void (TForm1::*)(), kIntegerSettings.size()> handlers = {
        &TForm1::TrackBar1Change, &TForm1::TrackBar2Change, &TForm1::TrackBar3Change,
        &TForm1::TrackBar4Change, &TForm1::TrackBar5Change};
    for (std::size_t i = 0; i < m_sliders.size(); ++i)
        connect(m_sliders[i], &QSlider::valueChanged, this, m_commands.command(this, handlers[i]));
    connect(ui->ComboBox1, &QComboBox::currentTextChanged, this,
            m_commands.command(this, &TForm1::ComboBox1Change));
}

void TForm1::connectModel()
{
    // The model tells of every change, also of those made elsewhere (another window): the
    // controls follow it.
    connect(&m_settings, &SettingsModel::settingChanged, this,
            [this](IntegerSettingId id) { settingChanged(id); });
    connect(&m_settings, &SettingsModel::charsChanged, this, &TForm1::charsChanged);
    connect(&m_settings, &SettingsModel::presetChanged, this, &TForm1::setall);
}

void TForm1::FormCreate()
{
    applyToolbarBackground();
    ui->SpeedBar1->setFont(font());
    Presets presets;
    Odczytaj1Click(m_files.settingsFile, presets, m_options);
    m_presetsAtStart = presets;
    m_settings.setPresets(presets);
    m_settings.selectPreset(1); // applied through presetChanged: setall puts SpeedItem5 down
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
        palette.setBrush(QPalette::Window, QBrush(toolbarBackground()));
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
    // The sliders clamp out-of-range numbers; the preset keeps them as they are.
    for (const IntegerSetting& setting : kIntegerSettings)
        m_sliders[indexOf(setting.id)]->setValue(preset.*setting.inPreset);
    ui->ComboBox1->setEditText(windows1250::toUnicode(preset.chars));
    // Before the first selection (0) preset 1 is the one shown.
    const int presetNumber = std::max<int>(m_settings.currentPresetNumber(), 1);
    m_presetActions[static_cast<std::size_t>(presetNumber - 1)]->setChecked(true);
    for (std::size_t i = 0; i < m_sliders.size(); ++i)
        m_displays[i]->setValue(m_sliders[i]->value());
    showTempo();
    setModifiedMark();
}

void TForm1::showSetting(IntegerSettingId id)
{
    m_displays[indexOf(id)]->setValue(m_sliders[indexOf(id)]->value());
    if (id == IntegerSettingId::Speed || id == IntegerSettingId::Spaces)
        showTempo();
}

void TForm1::sliderChanged(IntegerSettingId id)
{
    m_settings.setSliderPosition(id, m_sliders[indexOf(id)]->value());
}

void TForm1::settingChanged(IntegerSettingId id)
{
    // The slider shows the stored number clamped; a number it cannot show stays in the preset.
    const IntegerSetting& setting = integerSetting(id);
    m_sliders[indexOf(id)]->setValue(m_settings.current().*setting.inPreset);
    showSetting(id);
    setModifiedMark();
}

void TForm1::charsChanged()
{
    // What the user typed is in the box already: it keeps its cursor.
    const std::string& chars = m_settings.current().chars;
    if (windows1250::fromUnicode(ui->ComboBox1->currentText()) != chars)
        ui->ComboBox1->setEditText(windows1250::toUnicode(chars));
}

void TForm1::TrackBar1Change()
{
    sliderChanged(IntegerSettingId::Speed);
}

void TForm1::TrackBar2Change()
{
    sliderChanged(IntegerSettingId::Spaces);
}

void TForm1::TrackBar3Change()
{
    sliderChanged(IntegerSettingId::Tone);
}

void TForm1::TrackBar4Change()
{
    sliderChanged(IntegerSettingId::Noise);
}

void TForm1::TrackBar5Change()
{
    sliderChanged(IntegerSettingId::Straight);
}

void TForm1::ComboBox1Change()
{
    m_settings.setChars(windows1250::fromUnicode(ui->ComboBox1->currentText()));
}

// The preset commands change the model; setall follows from its presetChanged.
void TForm1::SpeedItem5Click()
{
    m_settings.selectPreset(1);
}

void TForm1::SpeedItem6Click()
{
    m_settings.selectPreset(2);
}

void TForm1::SpeedItem7Click()
{
    m_settings.selectPreset(3);
}

void TForm1::Ustawstandardowe1Click()
{
    m_settings.restoreDefaults();
    setModifiedMark();
}

std::string TForm1::exerciseText() const
{
    return exerciseTextBytes(*ui->Memo1);
}

SentExercise TForm1::exerciseToSend() const
{
    // What is sent comes from the model and the text, as the sliders show it: clamped.
    const SettingsPreset& preset = m_settings.current();
    SentExercise exercise;
    exercise.text = exerciseText();
    exercise.settings = sliderSettings(preset);
    exercise.characterSet = preset.chars;
    exercise.sentAtMs = m_clock.millisecondsSinceEpoch();
    exercise.conditions = m_options.conditions();
    exercise.riseMs = m_options.value(OptionId::Rise);
    return exercise;
}

void TForm1::exerciseSent(SentExercise exercise)
{
    exercise.bufferSeed = m_synthesizer.lastBufferSeed();
    exercise.seed = m_synthesizer.lastSampleSeed();
    m_lastSentExercise = std::move(exercise);
    m_playing = false; // a Play before was of another rendering
    Q_EMIT exerciseRendered(*m_lastSentExercise);
}

void TForm1::renderTo(const std::filesystem::path& wavFile, const WriteRules& rules)
{
    finishPlayRendering(); // the synthesizer renders one text at a time
    SentExercise exercise = exerciseToSend();
    m_synthesizer.setBandConditions(exercise.conditions);
    m_synthesizer.txtofile(wavFile, exercise.text, exercise.settings, exercise.riseMs, rules);
    exerciseSent(std::move(exercise));
}

void TForm1::startPlayRendering()
{
    SentExercise exercise = exerciseToSend();
    exercise.leadInMs = m_options.value(OptionId::LeadIn); // played before it, as Play does next
    m_synthesizer.setBandConditions(exercise.conditions);
    const std::uint64_t number = ++m_renderingNumber;
    m_rendering = std::make_unique<PlayRendering>(
        m_synthesizer, m_files.temporarySoundFile, exercise.text, exercise.settings,
        exercise.riseMs, kTemporarySoundFileRules, [this, number] {
            QMetaObject::invokeMethod(
                this, [this, number] { playRenderingEnded(number); }, Qt::QueuedConnection);
        });
    if (!m_rendering->started()) {
        // Nothing sounds yet and the mark stays set: the next Play tries anew.
        const std::unique_ptr<PlayRendering> failed = std::move(m_rendering);
        failed->finish();
    }
    ui->Memo1->document()->setModified(false);
    exerciseSent(std::move(exercise));
}

void TForm1::playRenderingEnded(std::uint64_t number)
{
    if (number == m_renderingNumber && m_rendering)
        m_commands.run([this] { finishPlayRendering(); });
}

void TForm1::finishPlayRendering()
{
    if (!m_rendering)
        return;
    const std::unique_ptr<PlayRendering> rendering = std::move(m_rendering);
    try {
        rendering->finish();
    } catch (const StopRequested&) {
        setModifiedMark(); // the file at the name is an older rendering, if any
        throw;
    } catch (...) {
        m_player.stop(); // nothing is heard past the failure
        setModifiedMark();
        throw;
    }
}

void TForm1::stopPlayRendering()
{
    if (!m_rendering)
        return;
    m_rendering->stop();
    try {
        finishPlayRendering();
    } catch (const StopRequested&) {
        // Stopped as asked: nothing to say.
    }
}

std::optional<std::int64_t> TForm1::heardFrame() const
{
    return m_player.heardFrame();
}

// Sounds other than the rendering (the reaction-time beeps), beside its file.
std::filesystem::path TForm1::otherSoundFile() const
{
    return m_files.temporarySoundFile.parent_path() / "~other.wav";
}

void TForm1::removeSoundFiles() noexcept
{
    std::error_code ignored;
    std::filesystem::remove(m_files.temporarySoundFile, ignored);
    std::filesystem::remove(otherSoundFile(), ignored);
}

void TForm1::playOtherSound(const std::vector<std::uint8_t>& wav)
{
    SpeedButton2Click();
    const std::filesystem::path file = otherSoundFile();
    preparePrivateFolder(file.parent_path());
    ReplacingFileWriter writer(file, kTemporarySoundFileRules);
    writer.write(wav.data(), wav.size());
    writer.commit();
    m_player.play(file);
}

void TForm1::reportHeard()
{
    if (!m_playing)
        return;
    m_playing = false;
    // Still playing: stopped where the speakers were; not playing: it played out.
    Q_EMIT playHeard(m_player.heardFrame());
}

void TForm1::SpeedButton1Click()
{
    reportHeard(); // a Play while one plays starts again from the beginning
    QTextDocument* document = ui->Memo1->document();
    if (m_rendering && m_rendering->ended())
        finishPlayRendering();
    // The file is also gone after a refused close deleted it; then there is nothing to replay.
    if (document->isModified() ||
        (!m_rendering && !std::filesystem::exists(m_files.temporarySoundFile))) {
        // The old sound stops while the new one renders; a new Play starts from the beginning.
        m_player.stop();
        stopPlayRendering();
        preparePrivateFolder(m_files.temporarySoundFile.parent_path());
        startPlayRendering();
    }
    document->setModified(false);
    // The lead-in wakes a headset that sleeps on silence; it is played, never rendered.
    const PlaybackLeadIn leadIn{.milliseconds = m_options.value(OptionId::LeadIn),
                                .noise = sliderSettings(m_settings.current()).noise};
    // The sound starts from the first samples of a rendering still being written.
    if (m_rendering)
        m_player.playWhileWritten(m_rendering->file(), leadIn);
    else
        m_player.play(m_files.temporarySoundFile, leadIn);
    m_playing = true;
}

void TForm1::SpeedButton2Click()
{
    reportHeard();
    m_player.stop();
    stopPlayRendering();
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
    finishPlayRendering(); // the rendering draws from the same generator
    appendRandomLine(*ui->Memo1, windows1250::toUnicode(m_settings.current().chars), m_random,
                     m_clock);
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
    m_printText(*ui->Memo1);
}

void TForm1::O1Click()
{
    m_aboutWindow.showAbout();
}

void TForm1::OptionsClick()
{
    Q_EMIT optionsRequested();
}

void TForm1::CheckCopyClick()
{
    Q_EMIT checkCopyRequested();
}

void TForm1::ProgressClick()
{
    Q_EMIT progressRequested();
}

void TForm1::setUpTextCover()
{
    m_textCover = new QLabel(
        tr("The text is hidden while you copy.\nCheck your copy to see it again."), this);
    m_textCover->setObjectName(QStringLiteral("textCover"));
    m_textCover->setAlignment(Qt::AlignCenter);
    m_textCover->setWordWrap(true);
    m_textCover->setAutoFillBackground(true);
    m_textCover->setFrameShape(QFrame::StyledPanel);
    m_textCover->setGeometry(ui->Memo1->geometry());
    m_textCover->hide();
}

void TForm1::setTextCovered(bool covered)
{
    m_textCover->setVisible(covered);
    if (covered)
        m_textCover->raise();
}

void TForm1::FormClose()
{
    stopPlayRendering();
    removeSoundFiles();
    Zapisz1Click(m_files.settingsFile, m_settings.presets(), m_presetsAtStart, m_options);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_commands.run([this] { FormClose(); })) {
        event->accept();
        Q_EMIT closed();
    } else {
        event->ignore();
    }
}

void TForm1::endSession() noexcept
{
    m_rendering.reset(); // stopped and waited for
    removeSoundFiles();
    try {
        Zapisz1Click(m_files.settingsFile, m_settings.presets(), m_presetsAtStart, m_options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vortan: settings not saved at session end: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "vortan: settings not saved at session end\n");
    }
}

} // namespace vortan
