// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"
#include "app/commands/command_runner.h"
#include "app/commands/error_box.h"
#include "app/exercise_text_dialogs.h"
#include "app/settings_model.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "files/io_errors.h"
#include "settings/options_store.h"
#include "settings/settings_file.h"
#include "sound/output_volume.h"
#include "sound/pulse_player.h"
#include "sound/sound_player.h"
#include "support/fake_sound.h"
#include "support/fifo_guard.h"
#include "support/program_harness.h"
#include "support/test_files.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using namespace vortan;
using test::NoOutputVolume;
using test::RecordingPlayer;
using namespace Qt::StringLiterals;

namespace {

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
struct Program : test::ProgramHarness {
    Program() { fs::create_directories(root() / "config"); }

    fs::path root() const { return dir.path().toStdString(); }

    TForm1& start(SoundPlayer* soundPlayer = nullptr)
    {
        window = makeWindow({.settingsFile = settingsFile, .temporarySoundFile = soundFile},
                            soundPlayer, nullptr, renderer);
        window->setWavFileChooser([this] {
            asked << u"wav"_s;
            return chosenWavFile;
        });
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
    std::optional<fs::path> chosenWavFile;
    Synthesizer* renderer = nullptr; // in place of the harness's synthesizer
    QStringList asked;               // "wav", "open", "save", "print": what the window asked for
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

// A started program in which each command of the window shows that it ran: the text is "keep",
// preset 1's speed is not the default, and preset 2 is current before "Settings 1".
void prepareForCommand(Program& program, const QString& command)
{
    program.memo()->setPlainText(u"keep"_s);
    program.settings.setInteger(IntegerSettingId::Speed, 100);
    if (command == "Settings 1"_L1)
        program.settings.selectPreset(2);
}

// Play on the test services' sound server, of a text whose rendering takes a second or
// more: some 100 MB at the fastest speed.
struct LongPlay {
    PulseConnection connection;
    PulsePlayer player{connection};
    Program program;
    // False when there is no server to play on.
    bool start()
    {
        program.start(&player);
        program.slider(1)->setValue(250);
        program.memo()->setPlainText(u"paris "_s.repeated(10'000));
        program.button(1)->click();
        return program.errors != QStringList{errorBoxText(PulsePlayer::noServerMessage)};
    }
};

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
    if (command == "WAV"_L1)
        return program.asked == QStringList{u"wav"_s};
    if (command == "Clear"_L1)
        return text == "vvv =\r\n";
    if (command == "Random"_L1)
        return text.starts_with("keep\r\n") && text.size() == 6 + 36;
    if (command == "Default settings"_L1)
        return program.settings.current().speed == 60;
    if (command == "About"_L1)
        return program.about.isVisible();
    return program.settings.currentPresetNumber() == command.back().digitValue();
}

// A preset's section as the ini file keeps it, at the defaults.
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

    void focusIsVisibleOnEveryControl_data()
    {
        QTest::addColumn<QString>("control");
        for (const char* name :
             {"TrackBar1",      "TrackBar2",   "TrackBar3",     "TrackBar4",   "Memo1",
              "ComboBox1",      "volumer1",    "TrackBar5",     "SpeedItem1",  "SpeedItem2",
              "SpeedItem3",     "SpeedItem4",  "SpeedItem8",    "SpeedItem9",  "SpeedItem10",
              "SpeedItem15",    "SpeedItem11", "OptionsButton", "SpeedItem14", "CheckCopyButton",
              "ProgressButton", "SpeedItem5",  "SpeedItem6",    "SpeedItem7"})
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

    void closeWritesSettingsAndDeletesTheSoundFile()
    {
        Program program;
        TForm1& window = program.start();
        window.show();
        program.button(1)->click();
        QTRY_VERIFY(fs::exists(program.soundFile));
        QSignalSpy closed(&window, &TForm1::closed);
        QVERIFY(window.close());
        QCOMPARE(closed.size(), 1);
        QVERIFY(!fs::exists(program.soundFile));
        QCOMPARE(QByteArray::fromStdString(readFile(program.settingsFile)),
                 QByteArray::fromStdString(defaultSection(1) + "\r\n" + defaultSection(2) + "\r\n" +
                                           defaultSection(3)));
        QVERIFY(program.errors.isEmpty());
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
        OptionsStore savedOptions;
        Odczytaj1Click(first.settingsFile, saved, savedOptions);
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
        QTRY_VERIFY(!fs::is_symlink(program.soundFile)); // once the rendering is complete
        QCOMPARE(readFile(program.root() / "victim"), std::string("13 bytes here"));
        QVERIFY(fs::file_size(program.soundFile) > 44);
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
                                    .sentAtMs = 45'296'789,
                                    .conditions = {}}; // all off by default
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

    void aNumberOutsideItsRangeStaysUntilTheUserMovesItsSlider()
    {
        Program program;
        std::ofstream(program.settingsFile, std::ios::binary) << "[settings1]\r\nspeed=300\r\n";
        program.start();
        QCOMPARE(program.slider(1)->value(), 250);
        program.button(6)->click(); // away and back: the slider shows the preset anew
        program.button(5)->click();
        program.settings.setInteger(IntegerSettingId::Tone, 900); // changes made elsewhere
        program.settings.setInteger(IntegerSettingId::Speed, 400);
        QCOMPARE(program.slider(3)->value(), 900);
        QCOMPARE(program.slider(1)->value(), 250);
        QCOMPARE(program.settings.current().speed, 400);
        program.slider(1)->setValue(249);
        QCOMPARE(program.settings.current().speed, 249);
        program.settings.setInteger(IntegerSettingId::Speed, 40);
        QCOMPARE(program.slider(1)->value(), 40);
        QVERIFY(program.errors.isEmpty());
    }

    void playTellsHowFarItWasHeard()
    {
        Program program;
        TForm1& window = program.start();
        std::vector<std::optional<std::int64_t>> told;
        connect(&window, &TForm1::playHeard, &window,
                [&told](std::optional<std::int64_t> heardSample) { told.push_back(heardSample); });
        program.button(2)->click(); // nothing played: nothing to tell
        program.button(1)->click();
        program.player.heard = 5000;
        program.button(2)->click(); // stopped where the speakers were
        program.button(2)->click(); // a second Stop tells nothing more
        program.button(1)->click(); // a replay...
        program.player.heard.reset();
        program.button(1)->click(); // ...that played out, told at the next Play
        program.player.heard = 700;
        program.chosenWavFile = program.root() / "e.wav";
        program.button(10)->click(); // Save WAV sends anew: the Play before was of another text
        program.button(2)->click();
        QVERIFY(told == (std::vector<std::optional<std::int64_t>>{5000, std::nullopt}));
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

    void keysRunEveryCommandWhileTyping_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("typingIn");
        Program program;
        const QList<QAction*> commands = program.start().actions();
        for (const char* box : {"Memo1", "ComboBox1"})
            for (const QAction* command : commands)
                QTest::addRow("%s in %s", qPrintable(command->text()), box)
                    << command->text() << command->shortcut() << QString::fromLatin1(box);
    }

    void everyCommandShowsOnOneButtonWithItsPictureAndItsKeyInTheHint()
    {
        Program program;
        TForm1& window = program.start();
        QSet<QKeySequence> keys;
        for (QAction* command : window.actions()) {
            const QString key = command->shortcut().toString(QKeySequence::NativeText);
            QVERIFY2(!key.isEmpty() && !keys.contains(command->shortcut()), qPrintable(key));
            keys << command->shortcut();
            qsizetype shownBy = 0;
            for (const QToolButton* button : window.findChildren<QToolButton*>()) {
                if (button->defaultAction() == command) {
                    ++shownBy;
                    QCOMPARE(button->toolTip(), command->toolTip());
                }
            }
            QCOMPARE(shownBy, 1);
            QVERIFY(command->toolTip().endsWith(u" ("_s + key + u')'));
            // The picture is drawn at any size, not scaled up from a small one.
            const QImage large = command->icon().pixmap(64, 64).toImage();
            QCOMPARE(large.size(), QSize(64, 64));
            QVERIFY(large != command->icon().pixmap(16, 16).toImage().scaled(64, 64));
        }
        QCOMPARE(keys.size(), 16);
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
        if (command != "Default settings"_L1)
            QCOMPARE(program.charSet()->currentText(), boxText);
        if (command != "About"_L1)
            QCOMPARE(program.focused(), box);
        QVERIFY(program.errors.isEmpty());
    }

    void aRenderingThatFailsPartWayStopsTheSoundAndSaysWhy()
    {
        // Files of this process may grow to 32 MB: the rendering fails part way, while its
        // beginning plays.
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto restore = qScopeGuard([saved] {
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, SIG_DFL);
        });
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 32 << 20;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);

        LongPlay play;
        if (!play.start())
            QSKIP("this test needs the test services' sound server");
        Program& program = play.program;
        QVERIFY(play.player.isPlaying());
        QTRY_COMPARE(program.errors.size(), 1);
        QCOMPARE(program.errors[0], errorBoxText(ioErrorForErrno(EFBIG, program.soundFile).what()));
        QVERIFY(!play.player.isPlaying());
        QVERIFY(program.marked()); // the next Play renders anew
        QCOMPARE(test::entryCount(program.soundFile.parent_path()), 0u);
    }

    void stopDuringTheRenderingStopsTheSoundAndTheRendering()
    {
        LongPlay play;
        if (!play.start())
            QSKIP("this test needs the test services' sound server");
        Program& program = play.program;
        QVERIFY(play.player.isPlaying());
        program.button(2)->click();
        QVERIFY(!play.player.isPlaying());
        // The rendering is gone with its file, and the next Play renders anew.
        QCOMPARE(test::entryCount(program.soundFile.parent_path()), 0u);
        QVERIFY(program.marked());
        QTest::qWait(100);
        QVERIFY(program.errors.isEmpty());
    }

    void theSoundServerGoneWhileASoundPlaysIsSaidAtOnce()
    {
        Program program;
        program.start();
        // As the player tells it, from the sound server's thread.
        std::thread([&program] { program.player.soundLost("The sound stopped"); }).join();
        QTRY_COMPARE(program.errors, QStringList{errorBoxText("The sound stopped")});
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
        QTRY_VERIFY(fs::exists(program.soundFile));
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
