#include "app/settings_model.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "controls/Rcadigi.h"
#include "sound/pulse_player.h"
#include "sound/pulse_volume.h"
#include "sound/sound_player.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace vortan;

namespace {

// Records what the window asks of the sound server.
class RecordingPlayer final : public SoundPlayer {
public:
    void play(const fs::path& wavFile, const PlaybackLeadIn& = {}) override
    {
        calls.push_back("play " + wavFile.string());
    }
    void stop() override { calls.push_back("stop"); }
    std::vector<std::string> calls;
};

std::string readFile(const fs::path& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The program as main() builds it, with private files, a recording player and recorded errors.
struct Program {
    Program() { fs::create_directories(root() / "config"); }

    fs::path root() const { return dir.path().toStdString(); }

    TForm1& start(SoundPlayer* soundPlayer = nullptr)
    {
        const ProgramContext context{
            settings, synthesizer,  random,   clock, soundPlayer ? soundPlayer : &player,
            nullptr,  settingsFile, soundFile};
        window = std::make_unique<TForm1>(context);
        window->setErrorReporter([this](const QString& text) { errors << text; });
        window->setWavFileChooser([this] { return chosenWavFile; });
        return *window;
    }

    template <class T = QWidget> T* child(const char* name, int number = 0) const
    {
        const QString fullName =
            QString::fromLatin1(name) + (number ? QString::number(number) : "");
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

    QTemporaryDir dir;
    fs::path settingsFile = root() / "config" / "vortan.ini";
    fs::path soundFile = root() / "run" / "vortan" / "~ortan.wav";
    RandomGenerator random;
    FixedClock clock{45'296'789};
    Synthesizer synthesizer{random, clock};
    SettingsModel settings;
    RecordingPlayer player;
    std::optional<fs::path> chosenWavFile;
    QStringList errors;
    std::unique_ptr<TForm1> window;
};

std::string defaultSection(int number)
{
    return "[settings" + std::to_string(number) +
           "]\r\nspeed=60\r\nspaces=0\r\ntone=600\r\nnoise=0\r\n"
           "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\nstraight=0\r\n";
}

} // namespace

class TForm1Test : public QObject {
    Q_OBJECT
private slots:
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
        QTest::keyClicks(program.charSet(), "abs");
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
        program.settings.presets()[2].straight = 70;
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

    void modifiedMark()
    {
        // Operates a control as a user would: moves a slider, clicks a button, types into a box.
        const auto operate = [](Program& program, const char* name) {
            QWidget* control = program.child(name);
            if (auto* slider = qobject_cast<QSlider*>(control))
                slider->setValue(slider->value() + 1);
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                button->click();
            else
                QTest::keyClicks(control, "x");
        };
        // Control, whether Save WAV is given a file, whether the mark is set afterwards.
        const std::tuple<const char*, bool, bool> rows[] = {
            {"Memo1", false, true},       {"TrackBar1", false, true},
            {"TrackBar2", false, true},   {"TrackBar3", false, true},
            {"TrackBar4", false, true},   {"TrackBar5", false, true},
            {"SpeedItem6", false, true},  {"SpeedItem5", false, true},
            {"SpeedItem11", false, true}, {"SpeedItem10", true, true},
            {"SpeedItem10", false, true}, {"volumer1", false, false},
            {"ComboBox1", false, false},  {"SpeedItem2", false, false},
            {"SpeedItem1", false, false}};
        for (const auto& [name, wavChosen, setsMark] : rows) {
            Program program;
            program.start();
            if (wavChosen)
                program.chosenWavFile = program.root() / "out.wav";
            // Only Play clears the mark: from the marked start every other action leaves it set.
            operate(program, name);
            QVERIFY2(program.marked() == (std::string_view(name) != "SpeedItem1"), name);
            program.button(1)->click();
            operate(program, name);
            QVERIFY2(program.marked() == setsMark, name);
            QVERIFY2(program.errors.isEmpty(), qPrintable(program.errors.join('\n')));
        }
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
        const QString expected = QStringLiteral("Unable to write to %1.")
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

    void errorBoxText()
    {
        // A stop follows when the last windows-1250 byte lies above that of ".".
        const std::pair<const char*, bool> cases[] = {
            {"Disk full", true}, {"I/O error 28", true}, {"x)", false},    {"Done.", false},
            {"a/", true},        {"a-", false},          {"Błąd ż", true}, {"", false}};
        for (const auto& [message, stopAdded] : cases)
            QCOMPARE(vortan::errorBoxText(message),
                     QString::fromUtf8(message) + (stopAdded ? "." : ""));
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
