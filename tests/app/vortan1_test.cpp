// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"
#include "app/commands/command_runner.h"
#include "app/commands/error_box.h"
#include "app/exercise_text_dialogs.h"
#include "app/settings_model.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "controls/Rcadigi.h"
#include "desktop/windows1250.h"
#include "settings/options_store.h"
#include "settings/settings_file.h"
#include "sound/output_volume.h"
#include "sound/pulse_player.h"
#include "sound/pulse_volume.h"
#include "sound/sound_player.h"
#include "support/fake_sound.h"
#include "support/fifo_guard.h"
#include "support/file_dialog_typing.h"
#include "support/test_files.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace vortan;
using test::NoOutputVolume;
using test::RecordingPlayer;
using namespace Qt::StringLiterals;

namespace {

// Records what the window asks of the sound server.

std::string readFile(const fs::path& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The questions of Open and Save (text), counted; the user cancels both.
class CancelledTextDialogs final : public ExerciseTextDialogs {
public:
    explicit CancelledTextDialogs(QStringList& asked)
        : m_asked(asked)
    {
    }
    std::optional<QString> askOpenFile(QWidget*) override
    {
        m_asked << u"open"_s;
        return std::nullopt;
    }
    std::optional<QString> askSaveFile(QWidget*) override
    {
        m_asked << u"save"_s;
        return std::nullopt;
    }

private:
    QStringList& m_asked;
};

// The program as main() builds it, with private files, a recording player, recorded errors and
// the questions of the file dialogs and the printer recorded.
struct Program {
    Program() { fs::create_directories(root() / "config"); }

    fs::path root() const { return dir.path().toStdString(); }

    TForm1& start(SoundPlayer* soundPlayer = nullptr)
    {
        window = std::make_unique<TForm1>(
            MainWindowServices{.settings = settings,
                               .synthesizer = renderer ? *renderer : synthesizer,
                               .random = random,
                               .clock = clock,
                               .player = soundPlayer ? *soundPlayer : player,
                               .outputVolume = noOutput,
                               .commands = commands,
                               .aboutWindow = about,
                               .options = options},
            MainWindowFiles{.settingsFile = settingsFile, .temporarySoundFile = soundFile});
        if (!realWavDialog) {
            window->setWavFileChooser([this] {
                asked << u"wav"_s;
                return chosenWavFile;
            });
        }
        window->setTextDialogs(std::make_unique<CancelledTextDialogs>(asked));
        window->setTextPrinter([this](const QPlainTextEdit&) { asked << u"print"_s; });
        QObject::connect(window.get(), &TForm1::optionsRequested, window.get(),
                         [this] { asked << u"options"_s; });
        QObject::connect(window.get(), &TForm1::checkCopyRequested, window.get(),
                         [this] { asked << u"check copy"_s; });
        QObject::connect(window.get(), &TForm1::progressRequested, window.get(),
                         [this] { asked << u"progress"_s; });
        return *window;
    }

    // Shown and active, as a user finds it.
    TForm1& startShown()
    {
        TForm1& shown = start();
        shown.show();
        shown.activateWindow();
        if (!QTest::qWaitForWindowActive(&shown))
            qFatal("the window did not become active");
        return shown;
    }

    template <class T = QWidget> T* child(const char* name, int number = 0) const
    {
        const QString fullName =
            QString::fromLatin1(name) + (number ? QString::number(number) : QString());
        T* found = window->findChild<T*>(fullName);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(fullName));
        return found;
    }
    QSlider* slider(int number) const { return child<QSlider>("TrackBar", number); }
    int display(int number) const { return child<TRCADigital>("RCADigital", number)->value(); }
    QAbstractButton* button(int number) const
    {
        return child<QAbstractButton>("SpeedItem", number);
    }
    QComboBox* charSet() const { return child<QComboBox>("ComboBox1"); }
    QPlainTextEdit* memo() const { return child<QPlainTextEdit>("Memo1"); }
    bool marked() const { return memo()->document()->isModified(); }
    // The control that has the keyboard focus; the character-set box for its edit field.
    QWidget* focused() const
    {
        QWidget* widget = QApplication::focusWidget();
        return widget != nullptr && widget->parentWidget() == charSet() ? charSet() : widget;
    }

    QTemporaryDir dir;
    fs::path settingsFile = root() / "config" / "vortan.ini";
    fs::path soundFile = root() / "run" / "vortan" / "~ortan.wav";
    RandomGenerator random;
    FixedClock clock{45'296'789};
    Synthesizer synthesizer{random, clock};
    SettingsModel settings;
    OptionsStore options;
    RecordingPlayer player;
    NoOutputVolume noOutput;
    std::optional<fs::path> chosenWavFile;
    bool realWavDialog = false;      // Save WAV shows its dialog, in place of chosenWavFile
    Synthesizer* renderer = nullptr; // in place of the synthesizer above
    QStringList errors;
    QStringList asked; // "wav", "open", "save", "print": what the window asked for
    CommandRunner commands{[this](const QString& text) { errors << text; }};
    TForm2 about;
    std::unique_ptr<TForm1> window;
};

// Raises a signal when a rendering reads the clock at the start of its sample pass, as if the
// signal came while the file is being written.
class SignallingClock final : public Clock {
public:
    explicit SignallingClock(int signalNumber)
        : m_signalNumber(signalNumber)
    {
    }
    std::uint32_t millisecondsSinceMidnightUtc() const override
    {
        raisedAt = std::chrono::steady_clock::now();
        std::raise(m_signalNumber);
        return 0;
    }
    std::int64_t millisecondsSinceEpoch() const override { return 0; }
    mutable std::chrono::steady_clock::time_point raisedAt;

private:
    int m_signalNumber;
};

// Presses a key combination on the focused widget, as the keyboard sends it.
void press(const QKeySequence& keys)
{
    const QKeyCombination combination = keys[0];
    QTest::keyClick(QApplication::focusWidget(), combination.key(),
                    combination.keyboardModifiers());
}

// Each command of the window, its button and its key.
const std::tuple<const char*, const char*, QKeySequence> kCommands[] = {
    {"Play", "SpeedItem1", QKeySequence(u"F5"_s)},
    {"Stop", "SpeedItem2", QKeySequence(u"F6"_s)},
    {"Open", "SpeedItem8", QKeySequence(u"Ctrl+O"_s)},
    {"Save", "SpeedItem9", QKeySequence(u"Ctrl+S"_s)},
    {"Print", "SpeedItem14", QKeySequence(u"Ctrl+P"_s)},
    {"Clear", "SpeedItem4", QKeySequence(u"Ctrl+N"_s)},
    {"Random", "SpeedItem3", QKeySequence(u"Ctrl+R"_s)},
    {"Save WAV", "SpeedItem10", QKeySequence(u"Ctrl+E"_s)},
    {"Defaults", "SpeedItem11", QKeySequence(u"Ctrl+Shift+R"_s)},
    {"Settings 1", "SpeedItem5", QKeySequence(u"Ctrl+1"_s)},
    {"Settings 2", "SpeedItem6", QKeySequence(u"Ctrl+2"_s)},
    {"Settings 3", "SpeedItem7", QKeySequence(u"Ctrl+3"_s)},
    {"About", "SpeedItem15", QKeySequence(u"F1"_s)},
    {"Options", "OptionsButton", QKeySequence(u"Ctrl+,"_s)},
    {"Check copy", "CheckCopyButton", QKeySequence(u"F7"_s)},
    {"Progress", "ProgressButton", QKeySequence(u"F8"_s)},
};

// A started program in which each command of kCommands shows that it ran: the text is "keep",
// preset 1's speed is not the default, and preset 2 is current before "Settings 1".
void prepareForCommand(Program& program, const QString& command)
{
    program.memo()->setPlainText(u"keep"_s);
    program.settings.setInteger(IntegerSettingId::Speed, 100);
    if (command == "Settings 1"_L1)
        program.settings.selectPreset(2);
}

// Whether the command ran in a program prepared by prepareForCommand.
bool commandRan(const Program& program, const QString& command)
{
    const std::string text = program.window->exerciseText();
    const auto& calls = program.player.calls;
    if (command == "Play"_L1)
        return !calls.empty() && calls.back().starts_with("play ");
    if (command == "Stop"_L1)
        return calls == std::vector<std::string>{"stop"};
    if (command == "Open"_L1 || command == "Save"_L1 || command == "Print"_L1 ||
        command == "Options"_L1 || command == "Check copy"_L1 || command == "Progress"_L1)
        return program.asked == QStringList{command.toLower()};
    if (command == "Save WAV"_L1)
        return program.asked == QStringList{u"wav"_s};
    if (command == "Clear"_L1)
        return text == "vvv =\r\n";
    if (command == "Random"_L1)
        return text.starts_with("keep\r\n") && text.size() == 6 + 36;
    if (command == "Defaults"_L1)
        return program.settings.current().speed == 60;
    if (command == "About"_L1)
        return program.about.isVisible();
    return program.settings.currentPresetNumber() == command.back().digitValue();
}

// The slider positions the layout file gives: name -> minimum, maximum, value.
QMap<QString, QList<int>> sliderRangesInLayout()
{
    QFile file(QStringLiteral(VORTAN_MAIN_WINDOW_UI));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", VORTAN_MAIN_WINDOW_UI);
    QMap<QString, QList<int>> ranges;
    QXmlStreamReader xml(&file);
    QString widget;
    QString property;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == "widget"_L1) {
            widget = xml.attributes().value("name"_L1).toString();
            ranges[widget] = {0, 0, 0};
        } else if (xml.name() == "property"_L1) {
            property = xml.attributes().value("name"_L1).toString();
        } else if (xml.name() == "number"_L1) {
            const int index = QStringList{u"minimum"_s, u"maximum"_s, u"value"_s}.indexOf(property);
            if (index >= 0)
                ranges[widget][index] = xml.readElementText().toInt();
        }
    }
    return ranges;
}

std::string defaultSection(int number)
{
    return "[settings" + std::to_string(number) +
           "]\r\nspeed=60\r\nspaces=0\r\ntone=600\r\nnoise=0\r\n"
           "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\nstraight=0\r\n";
}

} // namespace

class TForm1Test : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsDefaultsInAFixedLayout()
    {
        Program program;
        TForm1& window = program.start();
        const int expectedDisplays[][2] = {{1, 60}, {2, 0}, {5, 60}, {3, 600}, {4, 0}, {6, 0}};
        for (const auto& [display, value] : expectedDisplays)
            QCOMPARE(program.display(display), value);
        QVERIFY(program.button(5)->isChecked());
        QVERIFY(!program.button(6)->isChecked() && !program.button(7)->isChecked());
        QCOMPARE(window.exerciseText(), std::string("vvv =\r\n"));
        QVERIFY(program.marked());
        QCOMPARE(program.charSet()->currentText(),
                 QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789/=?!"));

        window.show();
        QCOMPARE(window.size(), QSize(378, 423));
        QCOMPARE(program.child("SpeedBar1")->size(), QSize(378, 47));
        QCOMPARE(program.child("SpeedBar2")->width(), 32);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        program.slider(1)->setFocus();
        for (const char* expected : {"TrackBar2", "TrackBar3", "TrackBar4", "Memo1", "ComboBox1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused != nullptr);
            // The box's edit field takes the focus for the box.
            if (focused->parentWidget() == program.charSet())
                focused = focused->parentWidget();
            QCOMPARE(focused->objectName(), QString::fromLatin1(expected));
        }
    }

    void presetsKeepTheirValuesAcrossSwitches()
    {
        Program program;
        program.start();
        program.slider(1)->setValue(100);
        program.charSet()->clearEditText();
        QTest::keyClicks(program.charSet(), u"abs"_s);
        program.button(6)->click();
        QCOMPARE(program.slider(1)->value(), 60);
        QVERIFY(program.button(6)->isChecked() && !program.button(5)->isChecked());
        program.slider(3)->setValue(800);
        program.button(5)->click();
        QCOMPARE(program.slider(1)->value(), 100);
        QCOMPARE(program.slider(3)->value(), 600);
        QCOMPARE(program.charSet()->currentText(), QStringLiteral("abs"));
        QCOMPARE(program.settings.presets()[1].tone, 800);
    }

    void outOfRangeNumberIsShownClampedAndWrittenBack()
    {
        Program program;
        std::ofstream(program.settingsFile, std::ios::binary) << "[settings1]\r\nspeed=300\r\n";
        TForm1& window = program.start();
        QCOMPARE(program.slider(1)->value(), 250);
        QCOMPARE(program.display(1), 250);
        QCOMPARE(program.display(5), 250);
        // Applying the preset again from the program does not write the clamped value either.
        program.button(7)->click();
        program.button(5)->click();
        QVERIFY(window.close());
        const std::string saved = readFile(program.settingsFile);
        QVERIFY2(saved.find("speed=300\r\n") != std::string::npos, saved.c_str());

        // Once the user moves the slider, its position is what is kept.
        program.slider(1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(program.settings.presets()[0].speed, 249);
    }

    void defaultsCommandKeepsStraightAndThePreset()
    {
        Program program;
        program.start();
        program.button(6)->click();
        program.slider(5)->setValue(30);
        program.slider(1)->setValue(120);
        program.slider(2)->setValue(3);
        Presets presets = program.settings.presets();
        presets[2].straight = 70;
        program.settings.setPresets(presets);
        program.button(11)->click();
        QCOMPARE(program.settings.currentPresetNumber(), 2);
        QVERIFY(program.button(6)->isChecked());
        QCOMPARE(program.slider(1)->value(), 60);
        QCOMPARE(program.display(5), 60);
        QCOMPARE(program.display(6), 30);
        QCOMPARE(program.settings.presets()[2].straight, 70);
        QCOMPARE(program.settings.presets()[2].speed, 60);
        QCOMPARE(program.charSet()->currentText(),
                 QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789!?/="));
    }

    void modifiedMark_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("wavChosen"); // whether Save WAV is given a file
        QTest::addColumn<bool>("setsMark");  // whether the mark is set afterwards
        const std::tuple<const char*, const char*, bool, bool> rows[] = {
            {"typing", "Memo1", false, true},
            {"speed", "TrackBar1", false, true},
            {"spaces", "TrackBar2", false, true},
            {"tone", "TrackBar3", false, true},
            {"noise", "TrackBar4", false, true},
            {"straight", "TrackBar5", false, true},
            {"another preset", "SpeedItem6", false, true},
            {"the same preset", "SpeedItem5", false, true},
            {"defaults", "SpeedItem11", false, true},
            {"Save WAV", "SpeedItem10", true, true},
            {"Save WAV cancelled", "SpeedItem10", false, true},
            {"volume", "volumer1", false, false},
            {"character set", "ComboBox1", false, false},
            {"Stop", "SpeedItem2", false, false},
            {"Play", "SpeedItem1", false, false},
        };
        for (const auto& [tag, control, wavChosen, setsMark] : rows)
            QTest::newRow(tag) << QString::fromLatin1(control) << wavChosen << setsMark;
    }

    void modifiedMark()
    {
        QFETCH(QString, control);
        QFETCH(bool, wavChosen);
        QFETCH(bool, setsMark);
        // Operates a control as a user would: moves a slider, clicks a button, types into a box.
        const auto operate = [&control](Program& program) {
            QWidget* widget = program.child(qPrintable(control));
            if (auto* slider = qobject_cast<QSlider*>(widget))
                slider->setValue(slider->value() + 1);
            else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                button->click();
            else
                QTest::keyClicks(widget, u"x"_s);
        };
        Program program;
        program.start();
        if (wavChosen)
            program.chosenWavFile = program.root() / "out.wav";
        // Only Play clears the mark: from the marked start every other action leaves it set.
        operate(program);
        QCOMPARE(program.marked(), control != "SpeedItem1"_L1);
        program.button(1)->click();
        operate(program);
        QCOMPARE(program.marked(), setsMark);
        QVERIFY2(program.errors.isEmpty(), qPrintable(program.errors.join(u'\n')));
    }

    void playRendersOnceThenReplays()
    {
        Program program;
        program.start();
        program.button(1)->click();
        const std::string play = "play " + program.soundFile.string();
        QCOMPARE(program.player.calls, (std::vector<std::string>{"stop", play}));

        // Back-date the file: a replay leaves it alone, a new rendering replaces it.
        const auto backDated = fs::last_write_time(program.soundFile) - std::chrono::hours(1);
        fs::last_write_time(program.soundFile, backDated);
        program.button(1)->click();
        QCOMPARE(program.player.calls, (std::vector<std::string>{"stop", play, play}));
        QVERIFY(fs::last_write_time(program.soundFile) == backDated);

        program.slider(3)->setValue(700);
        program.button(1)->click();
        QVERIFY(fs::last_write_time(program.soundFile) != backDated);

        QVERIFY(!program.marked());
        fs::remove(program.soundFile);
        program.button(1)->click();
        QVERIFY(fs::exists(program.soundFile));
        QVERIFY(program.errors.isEmpty());
    }

    void saveWavWritesTheWholeFile()
    {
        Program program;
        program.start();
        program.memo()->setPlainText(QStringLiteral("e"));
        program.chosenWavFile = program.root() / "e.wav";
        program.button(10)->click();
        const std::string wav = readFile(*program.chosenWavFile);
        QCOMPARE(wav.size(), 4104u);
        // RIFF 4096 bytes; PCM, mono, 11025 samples and bytes a second, 8 bits; data 4060 bytes.
        const QByteArray header(
            "RIFF\x00\x10\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x11\x2b\0\0\x11\x2b\0\0"
            "\x01\0\x08\0data\xdc\x0f\0\0",
            44);
        QCOMPARE(QByteArray::fromStdString(wav.substr(0, 44)), header);
        QVERIFY(program.player.calls.empty()); // Save WAV neither starts nor stops a sound
    }

    void closeWritesSettingsAndDeletesTheSoundFile()
    {
        Program program;
        TForm1& window = program.start();
        window.show();
        program.button(1)->click();
        QVERIFY(fs::exists(program.soundFile));
        QSignalSpy closed(&window, &TForm1::closed);
        QVERIFY(window.close());
        QCOMPARE(closed.size(), 1);
        QVERIFY(!fs::exists(program.soundFile));
        QCOMPARE(QByteArray::fromStdString(readFile(program.settingsFile)),
                 QByteArray::fromStdString(defaultSection(1) + "\r\n" + defaultSection(2) + "\r\n" +
                                           defaultSection(3)));
        QVERIFY(program.errors.isEmpty());
    }

    void unwritableSettingsKeepTheWindowOpen()
    {
        Program program;
        program.settingsFile = program.root(); // a folder: not even root can write it as a file
        TForm1& window = program.start();
        window.show();
        program.button(1)->click();
        const QString expected = QStringLiteral("Unable to write to %1: Is a directory.")
                                     .arg(QString::fromStdString(program.settingsFile));
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QVERIFY(!window.close());
            QVERIFY(window.isVisible());
            QCOMPARE(program.errors, QStringList(attempt, expected));
        }
        QVERIFY(!fs::exists(program.soundFile));
    }

    void sessionEndSavesWithoutShowingAnything()
    {
        Program program;
        TForm1& window = program.start();
        program.button(1)->click();
        program.slider(1)->setValue(90);
        TerminationSignals signalsToQt;
        connect(&signalsToQt, &TerminationSignals::terminationRequested, &window,
                [&window] { window.endSession(); });
        std::raise(SIGTERM);
        QTRY_VERIFY(!fs::exists(program.soundFile));
        QVERIFY(readFile(program.settingsFile).find("speed=90\r\n") != std::string::npos);

        Program blocked;
        blocked.settingsFile = blocked.root();
        blocked.start().endSession();
        QVERIFY(blocked.errors.isEmpty());
    }

    void twoWindowsKeepEachOthersPresetChanges()
    {
        Program first;
        first.start();
        Program second;
        second.settingsFile = first.settingsFile;
        second.start();
        first.slider(1)->setValue(100);
        second.button(6)->click();
        second.slider(3)->setValue(800);
        QVERIFY(first.window->close());
        QVERIFY(second.window->close());
        Presets saved;
        Odczytaj1Click(first.settingsFile, saved);
        QCOMPARE(saved[0].speed, 100);
        QCOMPARE(saved[1].tone, 800);
    }

    void aPlantedLinkIsReplacedNotFollowed()
    {
        Program program;
        fs::create_directories(program.soundFile.parent_path());
        test::writeText(program.root() / "victim", "13 bytes here");
        fs::create_symlink(program.root() / "victim", program.soundFile);
        program.start();
        program.button(1)->click();
        QVERIFY(program.errors.isEmpty());
        QCOMPARE(readFile(program.root() / "victim"), std::string("13 bytes here"));
        QVERIFY(!fs::is_symlink(program.soundFile));
        QVERIFY(fs::file_size(program.soundFile) > 44);
    }

    void nothingTheWindowWritesIsWaitedFor()
    {
        Program program;
        program.start();
        // A pipe chosen for Save WAV, and one standing where Play's own file goes.
        const fs::path fifo = program.root() / "fifo.wav";
        fs::create_directories(program.soundFile.parent_path());
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        QCOMPARE(::mkfifo(program.soundFile.c_str(), 0600), 0);
        program.chosenWavFile = fifo;
        QVERIFY(test::endsWithoutWaitingOn(fifo, [&] { program.button(10)->click(); }));
        QVERIFY(test::endsWithoutWaitingOn(program.soundFile, [&] { program.button(1)->click(); }));
        const QString refused = QStringLiteral("File access denied: %1: not a regular file.");
        QCOMPARE(program.errors,
                 QStringList({refused.arg(QString::fromStdString(fifo)),
                              refused.arg(QString::fromStdString(program.soundFile))}));
    }

    void aSignalStopsARenderingAndTheProgramEndsAsUsual_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP (logout)") << SIGHUP;
    }

    void aSignalStopsARenderingAndTheProgramEndsAsUsual()
    {
        QFETCH(int, signalNumber);
        Program program;
        SignallingClock clock(signalNumber);
        Synthesizer synthesizer(program.random, clock);
        program.renderer = &synthesizer;
        TForm1& window = program.start();
        TerminationSignals signalsToQt;
        QSignalSpy requested(&signalsToQt, &TerminationSignals::terminationRequested);
        connect(&signalsToQt, &TerminationSignals::terminationRequested, &window,
                [&window] { window.endSession(); });
        program.slider(1)->setValue(90);
        // Some 100 MB of sound: a rendering of seconds on a slow disk.
        program.memo()->setPlainText(QString(40'000, u'e'));
        program.button(1)->click();
        const auto stoppedAfter = std::chrono::steady_clock::now() - clock.raisedAt;
        // Stopped without a word and without a sound; nothing of the rendering is left.
        QVERIFY(program.errors.isEmpty());
        QCOMPARE(program.player.calls, std::vector<std::string>{"stop"});
        QCOMPARE(test::entryCount(program.soundFile.parent_path()), 0u);
        QVERIFY2(stoppedAfter < std::chrono::milliseconds(100),
                 qPrintable(QString::number(stoppedAfter.count() / 1e6) + u" ms"_s));
        // Then, from the event loop, the settings are saved as at any end of the session.
        QTRY_COMPARE(requested.size(), 1);
        QCOMPARE(requested.at(0).at(0).toInt(), signalNumber);
        QVERIFY(readFile(program.settingsFile).find("speed=90\r\n") != std::string::npos);
    }

    void saveWavWritesTheFileWhoseNameWasTyped()
    {
        Program program;
        program.realWavDialog = true;
        program.start();
        test::writeText(program.root() / "q.wav", "old");
        const QString folder = QString::fromStdString(program.root());
        QTimer::singleShot(0, program.window.get(), [folder] {
            test::typeIntoFileDialog(folder, QStringLiteral(R"(my "q" notes)"));
        });
        program.button(10)->click();
        QVERIFY(program.errors.isEmpty());
        QCOMPARE(readFile(program.root() / "q.wav"), std::string("old"));
        QVERIFY(fs::exists(program.root() / R"(my "q" notes.wav)"));
    }

    void sentExerciseIsBuiltFromTheModel()
    {
        Program program;
        std::ofstream(program.settingsFile, std::ios::binary)
            << "[settings1]\r\nspeed=300\r\ntone=900\r\nstraight=20\r\nchars=abs\r\n";
        TForm1& window = program.start();
        QSignalSpy rendered(&window, &TForm1::exerciseRendered);
        QVERIFY(!window.lastSentExercise());
        program.button(1)->click();
        QCOMPARE(rendered.size(), 1);
        const SentExercise expected{.text = "vvv =\r\n",
                                    .settings = {.speed = 250, .tone = 900, .straight = 20},
                                    .seed = 45'296'789, // the clock's, at the sample pass
                                    .characterSet = "abs",
                                    .sentAtMs = 45'296'789};
        QVERIFY(window.lastSentExercise() == expected);
        QVERIFY(rendered[0][0].value<SentExercise>() == expected);

        program.button(1)->click(); // a replay sends nothing new
        QCOMPARE(rendered.size(), 1);

        // A change made elsewhere is what the next rendering sends: the model, not the sliders.
        program.settings.setInteger(IntegerSettingId::Noise, 7);
        program.memo()->setPlainText(u"e"_s);
        program.chosenWavFile = program.root() / "e.wav";
        program.button(10)->click();
        QCOMPARE(rendered.size(), 2);
        QCOMPARE(window.lastSentExercise()->text, std::string("e"));
        QCOMPARE(window.lastSentExercise()->settings.noise, 7);
        QCOMPARE(window.lastSentExercise()->settings.speed, 250);
    }

    void controlsFollowChangesMadeElsewhere()
    {
        Program program;
        program.start();
        program.button(1)->click();
        SettingsModel& model = program.settings;
        model.setInteger(IntegerSettingId::Speed, 120);
        QCOMPARE(program.slider(1)->value(), 120);
        QCOMPARE(program.display(1), 120);
        QCOMPARE(program.display(5), 120);
        QVERIFY(program.marked()); // the next Play renders anew
        model.setInteger(IntegerSettingId::Spaces, 99);
        QCOMPARE(program.slider(2)->value(), 10); // shown clamped, kept as given
        QCOMPARE(program.display(5), 53);
        QCOMPARE(model.current().spaces, 99);
        model.setChars("xyz");
        QCOMPARE(program.charSet()->currentText(), u"xyz"_s);
        model.selectPreset(3);
        QVERIFY(program.button(7)->isChecked() && !program.button(5)->isChecked());
        QCOMPARE(program.slider(1)->value(), 60);

        // The window's own changes reach other listeners.
        QSignalSpy changed(&model, &SettingsModel::settingChanged);
        program.slider(4)->setValue(9);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<IntegerSettingId>(), IntegerSettingId::Noise);
        QCOMPARE(changed[0][1].toInt(), 9);
        QVERIFY(program.errors.isEmpty());
    }

    void sliderRangesInTheLayoutFollowTheSchema_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("setting");
        for (std::size_t i = 0; i < kIntegerSettings.size(); ++i)
            QTest::newRow(kIntegerSettings[i].key.data())
                << u"TrackBar%1"_s.arg(i + 1) << static_cast<int>(i);
    }

    void sliderRangesInTheLayoutFollowTheSchema()
    {
        QFETCH(QString, slider);
        QFETCH(int, setting);
        static const QMap<QString, QList<int>> layout = sliderRangesInLayout();
        const IntegerSetting& schema = kIntegerSettings[static_cast<std::size_t>(setting)];
        QCOMPARE(layout.value(slider), (QList<int>{schema.minimum, schema.maximum, schema.start}));
    }

    void presetButtonToggledByAScreenReaderSelectsItsPreset()
    {
        Program program;
        std::ofstream(program.settingsFile, std::ios::binary)
            << "[settings3]\r\nspeed=150\r\nchars=abst\r\n";
        TForm1& window = program.start();
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(program.button(7));
        QVERIFY(button && button->actionInterface());
        QVERIFY(button->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(program.button(7)->isChecked() && !program.button(5)->isChecked());
        QCOMPARE(program.settings.currentPresetNumber(), 3);
        QCOMPARE(program.slider(1)->value(), 150);
        QCOMPARE(program.charSet()->currentText(), u"abst"_s);
        // What the user changes now goes into preset 3, and preset 1 keeps its numbers.
        program.slider(1)->setValue(170);
        QVERIFY(window.close());
        const std::string saved = readFile(program.settingsFile);
        QVERIFY2(saved.find("[settings1]\r\nspeed=60\r\n") != std::string::npos, saved.c_str());
        QVERIFY2(saved.find("[settings3]\r\nspeed=170\r\n") != std::string::npos, saved.c_str());

        // Toggling the button that is down leaves it down.
        button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(program.button(7)->isChecked());
        QCOMPARE(program.settings.currentPresetNumber(), 3);
    }

    void characterSetKeepsWhatIsTyped()
    {
        Program program;
        program.startShown();
        program.charSet()->setFocus();
        program.charSet()->clearEditText();
        QTest::keyClicks(QApplication::focusWidget(), u"ab"_s);
        QCOMPARE(program.charSet()->currentText(), u"ab"_s);
        QCOMPARE(program.settings.current().chars, std::string("ab"));
        // Picking an entry of the list works as before.
        program.charSet()->setCurrentIndex(2);
        QCOMPARE(program.charSet()->currentText(), u"0123456789"_s);
        QCOMPARE(program.settings.current().chars, std::string("0123456789"));
    }

    void theCoverHidesTheTextAndLeavesItAndTheCommandsAlone()
    {
        Program program;
        program.startShown();
        program.memo()->setPlainText(u"paris"_s);
        program.window->setTextCovered(true);
        const auto* cover = program.window->findChild<QLabel*>(u"textCover"_s);
        QVERIFY(cover != nullptr && cover->isVisible());
        QCOMPARE(cover->geometry(), program.memo()->geometry());
        // Play sends the text under the cover.
        program.button(1)->click();
        QVERIFY(program.window->lastSentExercise().has_value());
        QCOMPARE(program.window->lastSentExercise()->text, std::string("paris"));
        program.window->setTextCovered(false);
        QVERIFY(!cover->isVisible());
        QCOMPARE(program.memo()->toPlainText(), u"paris"_s);
    }

    void tabAndArrowsReachEveryControl()
    {
        Program program;
        program.startShown();
        program.slider(1)->setFocus();
        // Tab enters the presets at the one that is down.
        const QStringList tabbed = {
            u"TrackBar2"_s,     u"TrackBar3"_s,   u"TrackBar4"_s,       u"Memo1"_s,
            u"ComboBox1"_s,     u"volumer1"_s,    u"TrackBar5"_s,       u"SpeedItem1"_s,
            u"SpeedItem2"_s,    u"SpeedItem3"_s,  u"SpeedItem4"_s,      u"SpeedItem8"_s,
            u"SpeedItem9"_s,    u"SpeedItem10"_s, u"SpeedItem15"_s,     u"SpeedItem11"_s,
            u"OptionsButton"_s, u"SpeedItem14"_s, u"CheckCopyButton"_s, u"ProgressButton"_s,
            u"SpeedItem5"_s,    u"TrackBar1"_s};
        QStringList reached;
        for (qsizetype i = 0; i < tabbed.size(); ++i) {
            press(QKeySequence(Qt::Key_Tab));
            QVERIFY(program.focused() != nullptr);
            reached << program.focused()->objectName();
        }
        QCOMPARE(reached, tabbed);

        // The arrow keys choose among the presets, as among radio buttons.
        press(QKeySequence(Qt::SHIFT | Qt::Key_Backtab));
        QCOMPARE(program.focused(), program.button(5));
        for (const auto& [key, preset] :
             {std::pair{Qt::Key_Down, 2}, {Qt::Key_Down, 3}, {Qt::Key_Up, 2}, {Qt::Key_Up, 1}}) {
            press(QKeySequence(key));
            QCOMPARE(program.focused(), program.button(4 + preset));
            QVERIFY(program.button(4 + preset)->isChecked());
            QCOMPARE(program.settings.currentPresetNumber(), preset);
        }
        QVERIFY(program.errors.isEmpty());
    }

    void tabLeavesTheTextBoxAndShiftTabComesBack()
    {
        Program program;
        TForm1& window = program.startShown();
        program.memo()->setFocus();
        press(QKeySequence(Qt::Key_Tab));
        QCOMPARE(program.focused(), program.charSet());
        press(QKeySequence(Qt::SHIFT | Qt::Key_Backtab));
        QCOMPARE(program.focused(), program.memo());
        press(QKeySequence(Qt::SHIFT | Qt::Key_Backtab));
        QCOMPARE(program.focused(), program.slider(4));
        QCOMPARE(window.exerciseText(), std::string("vvv =\r\n")); // no tab character
    }

    void keysRunEveryCommandWhileTyping_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("typingIn");
        for (const char* box : {"Memo1", "ComboBox1"})
            for (const auto& [command, button, keys] : kCommands)
                QTest::addRow("%s in %s", command, box)
                    << QString::fromLatin1(command) << keys << QString::fromLatin1(box);
    }

    void keysRunEveryCommandWhileTyping()
    {
        QFETCH(QString, command);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, typingIn);
        Program program;
        program.startShown();
        prepareForCommand(program, command);
        QWidget* box = program.child(qPrintable(typingIn));
        box->setFocus();
        const QString boxText = program.charSet()->currentText();
        press(keys);
        QTRY_VERIFY(commandRan(program, command));
        // Nothing was typed into the box.
        if (command != "Random"_L1 && command != "Clear"_L1)
            QCOMPARE(program.window->exerciseText(), std::string("keep"));
        if (command != "Defaults"_L1)
            QCOMPARE(program.charSet()->currentText(), boxText);
        if (command != "About"_L1)
            QCOMPARE(program.focused(), box);
        QVERIFY(program.errors.isEmpty());
    }

    void screenReadersPressEveryCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("button");
        for (const auto& [command, button, keys] : kCommands)
            QTest::newRow(command) << QString::fromLatin1(command) << QString::fromLatin1(button);
    }

    void screenReadersPressEveryCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, button);
        Program program;
        program.startShown();
        prepareForCommand(program, command);
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(program.child(qPrintable(button)));
        QVERIFY(accessible->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(commandRan(program, command));
        QVERIFY(program.errors.isEmpty());
    }

    void arrowKeysMoveTheSliders_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("position");
        QTest::newRow("speed up") << 1 << QKeySequence(Qt::Key_Right) << 61;
        QTest::newRow("spaces up") << 2 << QKeySequence(Qt::Key_Up) << 1;
        QTest::newRow("tone down") << 3 << QKeySequence(Qt::Key_Left) << 599;
        QTest::newRow("noise a page up") << 4 << QKeySequence(Qt::Key_PageUp) << 1;
        QTest::newRow("straight to the end") << 5 << QKeySequence(Qt::Key_End) << 100;
    }

    void arrowKeysMoveTheSliders()
    {
        QFETCH(int, slider);
        QFETCH(QKeySequence, keys);
        QFETCH(int, position);
        Program program;
        program.startShown();
        program.button(1)->click();
        program.slider(slider)->setFocus();
        press(keys);
        QCOMPARE(program.slider(slider)->value(), position);
        const int displays[] = {0, 1, 2, 3, 4, 6};
        QCOMPARE(program.display(displays[slider]), position);
        QCOMPARE(program.settings.current().*kIntegerSettings[slider - 1].inPreset, position);
        QVERIFY(program.marked());
    }

    void focusIsVisibleOnEveryControl_data()
    {
        QTest::addColumn<QString>("control");
        for (const char* name :
             {"TrackBar1",   "TrackBar2",   "TrackBar3",   "TrackBar4",  "Memo1",
              "ComboBox1",   "volumer1",    "TrackBar5",   "SpeedItem1", "SpeedItem2",
              "SpeedItem3",  "SpeedItem4",  "SpeedItem8",  "SpeedItem9", "SpeedItem10",
              "SpeedItem15", "SpeedItem11", "SpeedItem14", "SpeedItem5", "SpeedItem6",
              "SpeedItem7"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void focusIsVisibleOnEveryControl()
    {
        QFETCH(QString, control);
        Program program;
        program.startShown();
        QWidget* widget = program.child(qPrintable(control));
        const auto isPreset = [&program](QWidget* candidate) {
            return candidate == program.button(5) || candidate == program.button(6) ||
                   candidate == program.button(7);
        };
        // Reached by the keyboard alone: Tab, and the arrow keys among the presets.
        program.slider(1)->setFocus();
        press(QKeySequence(Qt::Key_Tab));
        for (int presses = 0; program.focused() != widget && presses < 30; ++presses)
            press(QKeySequence(isPreset(program.focused()) && isPreset(widget) ? Qt::Key_Down
                                                                               : Qt::Key_Tab));
        QCOMPARE(program.focused(), widget);
        const QImage focused = widget->grab().toImage();
        press(QKeySequence(Qt::Key_Tab));
        QVERIFY(!widget->hasFocus());
        QVERIFY(widget->grab().toImage() != focused);
    }

    void screenReadersHearEveryControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value"); // what a sighted user reads there
        QTest::addColumn<QString>("key");   // in the description and the press action
        const auto row = [](const char* control, QAccessible::Role role, const QString& name,
                            const QString& value = {}, const QString& key = {}) {
            QTest::newRow(control)
                << QString::fromLatin1(control) << int(role) << name << value << key;
        };
        using enum QAccessible::Role;
        row("TrackBar1", Slider, u"Speed (ch/min)"_s, u"60"_s);
        row("TrackBar2", Slider, u"Dot spaces"_s, u"0"_s);
        row("TrackBar3", Slider, u"Tone (Hz)"_s, u"600"_s);
        row("TrackBar4", Slider, u"% Noise"_s, u"0"_s);
        row("TrackBar5", Slider, u"Straight key ratio"_s, u"0"_s);
        row("volumer1", Slider, u"Wave volume"_s, u"13"_s);
        row("RCADigital1", StaticText, u"Tempo of chars"_s, u"60"_s);
        row("RCADigital2", StaticText, u"Additional spaces"_s, u"0"_s);
        row("RCADigital5", StaticText, u"Tempo of transmission"_s, u"60"_s);
        row("RCADigital3", StaticText, u"Tone"_s, u"600"_s);
        row("RCADigital4", StaticText, u"Noise"_s, u"0"_s);
        row("RCADigital6", StaticText, u"Straight ratio"_s, u"0"_s);
        row("Memo1", EditableText, u"Exercise text"_s, u"vvv =\n"_s);
        // The box's edit field, which takes the focus, names it; the box reads as its text.
        row("ComboBox1", EditableText, u"Character set"_s,
            u"abcdefghijklmnopqrstuvwxyz0123456789/=?!"_s);
        row("SpeedItem1", Button, u"Play"_s, {}, u"F5"_s);
        row("SpeedItem2", Button, u"Stop"_s, {}, u"F6"_s);
        row("SpeedItem3", Button, u"Random"_s, {}, u"Ctrl+R"_s);
        row("SpeedItem4", Button, u"Clear"_s, {}, u"Ctrl+N"_s);
        row("SpeedItem8", Button, u"Open"_s, {}, u"Ctrl+O"_s);
        row("SpeedItem9", Button, u"Save"_s, {}, u"Ctrl+S"_s);
        row("SpeedItem10", Button, u"WAV"_s, {}, u"Ctrl+E"_s);
        row("SpeedItem15", Button, u"About"_s, {}, u"F1"_s);
        row("SpeedItem11", Button, u"Default settings"_s, {}, u"Ctrl+Shift+R"_s);
        row("SpeedItem14", Button, u"Print"_s, {}, u"Ctrl+P"_s);
        row("SpeedItem5", RadioButton, u"Settings 1"_s, {}, u"Ctrl+1"_s);
        row("SpeedItem6", RadioButton, u"Settings 2"_s, {}, u"Ctrl+2"_s);
        row("SpeedItem7", RadioButton, u"Settings 3"_s, {}, u"Ctrl+3"_s);
    }

    void screenReadersHearEveryControl()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, key);
        Program program;
        program.startShown();
        QWidget* widget = program.child(qPrintable(control));
        if (widget == program.charSet()) {
            QCOMPARE(QAccessible::queryAccessibleInterface(widget)->role(), QAccessible::ComboBox);
            widget = program.charSet()->lineEdit();
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::Role(role));
        QCOMPARE(accessible->text(QAccessible::Name), name);
        QVERIFY(!accessible->state().invisible && !accessible->state().disabled);
        if (!value.isEmpty()) {
            if (QAccessibleValueInterface* number = accessible->valueInterface())
                QCOMPARE(number->currentValue().toString(), value);
            else
                QCOMPARE(accessible->text(QAccessible::Value), value);
        }
        if (key.isEmpty())
            return;
        // The hint names the key, and so the description; pressing says which key it is.
        QVERIFY(widget->toolTip().endsWith(u" (%1)"_s.arg(key)));
        QCOMPARE(accessible->text(QAccessible::Description), widget->toolTip());
        QCOMPARE(accessible->actionInterface()->keyBindingsForAction(
                     QAccessibleActionInterface::pressAction()),
                 QStringList{key});
        if (QAccessible::Role(role) != QAccessible::RadioButton)
            return;
        // The presets: a group of three toggles, exactly one of them down.
        QCOMPARE(accessible->parent()->role(), QAccessible::Grouping);
        QCOMPARE(accessible->parent()->text(QAccessible::Name), u"Presets"_s);
        QCOMPARE(accessible->parent()->childCount(), 3);
        int down = 0;
        for (int i = 0; i < 3; ++i) {
            const QAccessible::State state = accessible->parent()->child(i)->state();
            QVERIFY(state.checkable);
            down += state.checked;
        }
        QCOMPARE(down, 1);
        QCOMPARE(bool(accessible->state().checked), control == "SpeedItem5"_L1);
    }

    void playIsHeardAtTheTonesPitch()
    {
        if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").contains(QLatin1String("pulse"))) {
            if (qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QLatin1String("1"))
                QFAIL("no sound server: run under scripts/test-services.sh");
            QSKIP("hearing the sound needs the PulseAudio null sink of scripts/test-services.sh");
        }
        PulseConnection connection;
        PulsePlayer server(connection);
        PulseVolume output(connection);
        Program program;
        program.start(&server);
        QTRY_VERIFY2(output.hasOutput(), "the sound server did not connect");
        program.memo()->setPlainText(QStringLiteral("tt"));
        QProcess recorder;
        recorder.start(QStringLiteral("parec"),
                       QStringLiteral("-d vsink.monitor --raw --format=s16le --rate=44100 "
                                      "--channels=2 --latency-msec=20")
                           .split(u' '));
        QTest::qWait(300);
        program.button(1)->click();
        QTest::qWait(2000);
        recorder.terminate();
        QVERIFY(recorder.waitForFinished());
        // Recorded in stereo (PipeWire mixes mono from both channels and clips): the left one.
        const QByteArray raw = recorder.readAllStandardOutput();
        std::vector<std::int16_t> samples(static_cast<std::size_t>(raw.size() / 4));
        for (std::size_t i = 0; i < samples.size(); ++i)
            std::memcpy(&samples[i], raw.constData() + 4 * i, 2);

        // The pitch is the rate of loud rising zero crossings within a tone, not across a silence.
        double periods = 0;
        double samplesSpanned = 0;
        qsizetype lastCrossing = -1;
        for (qsizetype i = 1; i < qsizetype(samples.size()); ++i) {
            if (samples[i - 1] >= 0 || samples[i] < 0 || samples[i] - samples[i - 1] < 2000)
                continue;
            if (lastCrossing >= 0 && i - lastCrossing < 200) {
                periods += 1;
                samplesSpanned += static_cast<double>(i - lastCrossing);
            }
            lastCrossing = i;
        }
        QVERIFY2(periods > 100, "the null sink's monitor heard no tone");
        const double pitchHz = periods * 44100.0 / samplesSpanned;
        QVERIFY2(qAbs(pitchHz - 11025.0 / 18) < 5, qPrintable(QString::number(pitchHz)));
    }

    void playWithoutSoundServerRendersAndSaysSoOncePerPlay()
    {
        const auto restore = qScopeGuard([saved = qgetenv("PULSE_SERVER")] {
            saved.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", saved);
        });
        qputenv("PULSE_SERVER", "unix:/nonexistent/vortan-test/native");
        PulseConnection connection;
        PulsePlayer server(connection);
        Program program;
        program.start(&server);
        QVERIFY(program.errors.isEmpty()); // never at start
        program.button(1)->click();
        QVERIFY(fs::exists(program.soundFile));
        QVERIFY(!program.marked());
        program.button(1)->click();
        program.button(2)->click();
        const QString message = vortan::errorBoxText(PulsePlayer::noServerMessage);
        QCOMPARE(program.errors, QStringList({message, message}));
        QVERIFY(!server.isPlaying());
    }
};

QTEST_MAIN(TForm1Test)
#include "vortan1_test.moc"
