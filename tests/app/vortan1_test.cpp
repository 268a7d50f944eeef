#include "app/about/vortan2.h"
#include "app/exercise_text_dialogs.h"
#include "app/settings_file.h"
#include "app/settings_model.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "controls/Rcadigi.h"
#include "platform/pulse_sound_server.h"
#include "platform/sound_player.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <utime.h>

namespace fs = std::filesystem;
using namespace vortan;

namespace {

// Records what the window asks of the sound server.
class RecordingPlayer final : public SoundPlayer {
public:
    void play(const fs::path& wavFile) override { calls.push_back("play " + wavFile.string()); }
    void stop() override { calls.push_back("stop"); }
    std::vector<std::string> calls;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t offset, int byteCount)
{
    std::uint32_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

// Open and Save (text) without modal dialogs: both answer with one file.
class FixedTextDialogs final : public ExerciseTextDialogs {
public:
    explicit FixedTextDialogs(QString file)
        : m_file(std::move(file))
    {
    }
    std::optional<QString> askOpenFile(QWidget*) override { return m_file; }
    std::optional<QString> askSaveFile(QWidget*) override { return m_file; }

private:
    QString m_file;
};

// The program as main() builds it, with private files and a recording player.
struct Program {
    Program()
    {
        fs::create_directories(root() / "config");
        settingsFile = root() / "config" / "vortan.ini";
        soundFile = root() / "run" / "vortan" / "~ortan.wav";
    }

    fs::path root() const { return dir.path().toStdString(); }

    TForm1& start(SoundPlayer* soundPlayer = nullptr)
    {
        const ProgramContext context{
            settings, synthesizer,  random,   clock, soundPlayer ? soundPlayer : &player,
            nullptr,  settingsFile, soundFile};
        window = std::make_unique<TForm1>(context);
        window->setErrorReporter([this](const QString& text) { errors << text; });
        window->setWavFileChooser([this] { return chosenWavFile; });
        window->setTextDialogs(std::make_unique<FixedTextDialogs>(
            QString::fromStdString((root() / "text.txt").string())));
        return *window;
    }

    template <class T> T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }
    QSlider* slider(int number) const
    {
        return child<QSlider>(QStringLiteral("TrackBar%1").arg(number).toLatin1().constData());
    }
    int display(int number) const
    {
        return child<TRCADigital>(QStringLiteral("RCADigital%1").arg(number).toLatin1().constData())
            ->value();
    }
    QAbstractButton* button(int number) const
    {
        return child<QAbstractButton>(
            QStringLiteral("SpeedItem%1").arg(number).toLatin1().constData());
    }
    bool marked() const { return child<QPlainTextEdit>("Memo1")->document()->isModified(); }

    QTemporaryDir dir;
    fs::path settingsFile;
    fs::path soundFile;
    RandomGenerator random;
    FixedClock clock{45'296'789};
    Synthesizer synthesizer{random, clock};
    SettingsModel settings;
    RecordingPlayer player;
    std::optional<fs::path> chosenWavFile;
    QStringList errors;
    std::unique_ptr<TForm1> window;
};

bool servicesRequired()
{
    return qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QLatin1String("1");
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
private slots:
    void firstStartShowsDefaults();
    void presetsKeepTheirValuesAcrossSwitches();
    void outOfRangeNumberIsShownClampedAndWrittenBack();
    void defaultsCommandKeepsStraight();
    void tempoAtSpacesEightRoundsHalvesToEven();
    void modifiedMark_data();
    void modifiedMark();
    void playRendersOnceThenReplays();
    void playRendersWhenTheFileIsGone();
    void playFailureShowsOneMessageAndStaysMarked();
    void saveWavWritesTheWholeFile();
    void saveWavFailureLeavesTheMark();
    void closeWritesSettingsAndDeletesTheSoundFile();
    void unwritableSettingsKeepTheWindowOpen();
    void terminationSignalSavesWithoutAsking();
    void errorBoxText_data();
    void errorBoxText();
    void toolbarPictureFollowsButtonFace();
    void everyControlHasAnAccessibleName();
    void playShortcutWorksWhileTyping();
    void aboutButtonShowsTheAboutWindow();
    void tabFollowsTheFocusOrder();
    void playIsHeardAtTheTonesPitch();
    void playWithoutSoundServerIsSilent();
};

void TForm1Test::firstStartShowsDefaults()
{
    Program program;
    program.start();
    const int expectedDisplays[][2] = {{1, 60}, {2, 0}, {5, 60}, {3, 600}, {4, 0}, {6, 0}};
    for (const auto& [display, value] : expectedDisplays)
        QCOMPARE(program.display(display), value);
    QVERIFY(program.button(5)->isChecked());
    QVERIFY(!program.button(6)->isChecked() && !program.button(7)->isChecked());
    QCOMPARE(program.window->exerciseText(), std::string("vvv =\r\n"));
    QVERIFY(program.marked());
    QCOMPARE(program.child<QComboBox>("ComboBox1")->currentText(),
             QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789/=?!"));
    QCOMPARE(program.settings.currentPresetNumber(), 1);
    QVERIFY(program.errors.isEmpty());
}

void TForm1Test::presetsKeepTheirValuesAcrossSwitches()
{
    Program program;
    program.start();
    program.slider(1)->setValue(100);
    program.child<QComboBox>("ComboBox1")->setEditText(QStringLiteral("abs"));
    program.button(6)->click();
    QCOMPARE(program.slider(1)->value(), 60);
    QCOMPARE(program.display(1), 60);
    QVERIFY(program.button(6)->isChecked() && !program.button(5)->isChecked());
    program.slider(3)->setValue(800);
    program.button(5)->click();
    QCOMPARE(program.slider(1)->value(), 100);
    QCOMPARE(program.slider(3)->value(), 600);
    QCOMPARE(program.child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("abs"));
    QCOMPARE(program.settings.presets()[0].chars, std::string("abs"));
    QCOMPARE(program.settings.presets()[1].tone, 800);

    // Emptying the box stores an empty set.
    program.child<QComboBox>("ComboBox1")->lineEdit()->clear();
    QCOMPARE(program.settings.presets()[0].chars, std::string());
}

void TForm1Test::outOfRangeNumberIsShownClampedAndWrittenBack()
{
    Program program;
    writeFile(program.settingsFile, "[settings1]\r\nspeed=300\r\nspaces=-4\r\n");
    TForm1& window = program.start();
    QCOMPARE(program.slider(1)->value(), 250);
    QCOMPARE(program.display(1), 250);
    QCOMPARE(program.display(5), 250);
    QCOMPARE(program.slider(2)->value(), 0);
    QCOMPARE(program.settings.presets()[0].speed, 300);

    // Switching presets back and forth does not write the clamped value either.
    program.button(7)->click();
    program.button(5)->click();
    QVERIFY(window.close());
    const std::string saved = readFile(program.settingsFile);
    QVERIFY2(saved.find("speed=300\r\n") != std::string::npos, saved.c_str());
    QVERIFY2(saved.find("spaces=-4\r\n") != std::string::npos, saved.c_str());

    // Once the user moves the slider, its position is what is kept.
    Program second;
    writeFile(second.settingsFile, "[settings1]\r\nspeed=300\r\n");
    second.start();
    QTest::keyClick(second.slider(1), Qt::Key_Left);
    QCOMPARE(second.settings.presets()[0].speed, 249);
}

void TForm1Test::defaultsCommandKeepsStraight()
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
    QCOMPARE(program.slider(2)->value(), 0);
    QCOMPARE(program.display(5), 60);
    QCOMPARE(program.slider(5)->value(), 30);
    QCOMPARE(program.display(6), 30);
    QCOMPARE(program.settings.presets()[2].straight, 70);
    QCOMPARE(program.child<QComboBox>("ComboBox1")->currentText(),
             QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789!?/="));
}

void TForm1Test::tempoAtSpacesEightRoundsHalvesToEven()
{
    Program program;
    program.start();
    program.slider(2)->setValue(8);
    QCOMPARE(program.display(2), 8);
    const int cases[][2] = {{61, 30}, {63, 32}};
    for (const auto& [speed, tempo] : cases) {
        program.slider(1)->setValue(speed);
        QCOMPARE(program.display(5), tempo);
    }
}

void TForm1Test::modifiedMark_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("marked");
    QTest::newRow("typing in the text") << "type" << true;
    for (int slider = 1; slider <= 5; ++slider)
        QTest::addRow("moving TrackBar%d", slider)
            << QStringLiteral("slider%1").arg(slider) << true;
    QTest::newRow("a key on TrackBar3") << "sliderKey" << true;
    QTest::newRow("choosing another preset") << "preset2" << true;
    QTest::newRow("choosing the same preset") << "preset1" << true;
    QTest::newRow("defaults command") << "defaults" << true;
    QTest::newRow("Save WAV confirmed") << "saveWav" << true;
    QTest::newRow("Save WAV cancelled") << "cancelWav" << true;
    QTest::newRow("Random") << "random" << true;
    QTest::newRow("Clear") << "clear" << true;
    QTest::newRow("Open") << "open" << true;
    QTest::newRow("Save text") << "saveText" << false;
    QTest::newRow("volume slider") << "volume" << false;
    QTest::newRow("picking a character set") << "pickChars" << false;
    QTest::newRow("typing a character set") << "typeChars" << false;
    QTest::newRow("Stop") << "stop" << false;
    QTest::newRow("Play once more") << "play" << false;
}

void TForm1Test::modifiedMark()
{
    QFETCH(QString, action);
    QFETCH(bool, marked);
    Program program;
    TForm1& window = program.start();
    program.button(1)->click();
    QVERIFY(!program.marked());

    const std::map<QString, std::function<void()>> actions = {
        {"type", [&] { QTest::keyClicks(program.child<QPlainTextEdit>("Memo1"), "x"); }},
        {"slider1", [&] { program.slider(1)->setValue(61); }},
        {"slider2", [&] { program.slider(2)->setValue(1); }},
        {"slider3", [&] { program.slider(3)->setValue(601); }},
        {"slider4", [&] { program.slider(4)->setValue(1); }},
        {"slider5", [&] { program.slider(5)->setValue(1); }},
        {"sliderKey", [&] { QTest::keyClick(program.slider(3), Qt::Key_Right); }},
        {"preset2", [&] { program.button(6)->click(); }},
        {"preset1", [&] { program.button(5)->click(); }},
        {"defaults", [&] { program.button(11)->click(); }},
        {"saveWav",
         [&] {
             program.chosenWavFile = program.root() / "out.wav";
             program.button(10)->click();
         }},
        {"cancelWav", [&] { program.button(10)->click(); }},
        {"random", [&] { program.button(3)->click(); }},
        {"clear", [&] { program.button(4)->click(); }},
        {"open",
         [&] {
             writeFile(program.root() / "text.txt", "vvv =\r\n");
             program.button(8)->click();
         }},
        {"saveText", [&] { program.button(9)->click(); }},
        {"volume", [&] { program.child<QSlider>("volumer1")->setValue(20); }},
        {"pickChars", [&] { program.child<QComboBox>("ComboBox1")->setCurrentIndex(2); }},
        {"typeChars",
         [&] { QTest::keyClicks(program.child<QComboBox>("ComboBox1")->lineEdit(), "q"); }},
        {"stop", [&] { program.button(2)->click(); }},
        {"play", [&] { program.button(1)->click(); }},
    };
    actions.at(action)();
    QCOMPARE(program.marked(), marked);
    QVERIFY2(program.errors.isEmpty(), qPrintable(program.errors.join('\n')));
    Q_UNUSED(window);
}

void TForm1Test::playRendersOnceThenReplays()
{
    Program program;
    program.start();
    program.button(1)->click();
    const std::string play = "play " + program.soundFile.string();
    QCOMPARE(program.player.calls, (std::vector<std::string>{"stop", play}));
    QVERIFY(fs::exists(program.soundFile));
    struct stat status {};
    QCOMPARE(::stat(program.soundFile.parent_path().c_str(), &status), 0);
    QCOMPARE(status.st_mode & 0777, 0700u);

    // Back-date the file: a replay leaves it alone, a new rendering replaces it.
    const utimbuf old{1'000'000'000, 1'000'000'000};
    QCOMPARE(::utime(program.soundFile.c_str(), &old), 0);
    program.button(1)->click();
    QCOMPARE(program.player.calls, (std::vector<std::string>{"stop", play, play}));
    QCOMPARE(::stat(program.soundFile.c_str(), &status), 0);
    QCOMPARE(status.st_mtime, 1'000'000'000);

    program.slider(3)->setValue(700);
    program.button(1)->click();
    QCOMPARE(::stat(program.soundFile.c_str(), &status), 0);
    QVERIFY(status.st_mtime != 1'000'000'000);
    QCOMPARE(program.player.calls.size(), 5u);
}

void TForm1Test::playRendersWhenTheFileIsGone()
{
    Program program;
    program.start();
    program.button(1)->click();
    QVERIFY(!program.marked());
    fs::remove(program.soundFile);
    program.button(1)->click();
    QVERIFY(fs::exists(program.soundFile));
    QVERIFY(program.errors.isEmpty());
}

void TForm1Test::playFailureShowsOneMessageAndStaysMarked()
{
    Program program;
    writeFile(program.root() / "run", "a file where the folder should be");
    program.start();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        program.button(1)->click();
        QCOMPARE(program.errors.size(), attempt);
        QVERIFY(program.marked());
    }
    QVERIFY(program.errors.constFirst().endsWith(u'.'));
    for (const std::string& call : program.player.calls)
        QVERIFY2(call.rfind("play", 0) != 0, call.c_str());
}

void TForm1Test::saveWavWritesTheWholeFile()
{
    Program program;
    program.start();
    program.child<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("e"));
    program.chosenWavFile = program.root() / "e.wav";
    program.button(1)->click();
    program.player.calls.clear();
    program.button(10)->click();

    const std::string wav = readFile(*program.chosenWavFile);
    QCOMPARE(wav.size(), 4104u);
    QCOMPARE(wav.substr(0, 4), std::string("RIFF"));
    QCOMPARE(littleEndian(wav, 4, 4), 4104u - 8);
    QCOMPARE(wav.substr(8, 8), std::string("WAVEfmt "));
    QCOMPARE(littleEndian(wav, 22, 2), 1u);     // mono
    QCOMPARE(littleEndian(wav, 24, 4), 11025u); // samples per second
    QCOMPARE(littleEndian(wav, 34, 2), 8u);     // bits per sample
    QCOMPARE(wav.substr(36, 4), std::string("data"));
    QCOMPARE(littleEndian(wav, 40, 4), 4104u - 44);
    QVERIFY(program.player.calls.empty()); // Save WAV neither starts nor stops a sound
    QVERIFY(program.marked());
}

void TForm1Test::saveWavFailureLeavesTheMark()
{
    Program program;
    program.start();
    program.button(1)->click();
    program.chosenWavFile = program.root() / "no such folder" / "x.wav";
    program.button(10)->click();
    QCOMPARE(program.errors.size(), 1);
    QVERIFY(!program.marked());
}

void TForm1Test::closeWritesSettingsAndDeletesTheSoundFile()
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
    const std::string saved = readFile(program.settingsFile);
    // Sections in order, keys in the order speed, spaces, tone, noise, chars, straight.
    QCOMPARE(QByteArray::fromStdString(saved),
             QByteArray::fromStdString(defaultSection(1) + "\r\n" + defaultSection(2) + "\r\n" +
                                       defaultSection(3)));
    QVERIFY(program.errors.isEmpty());
}

void TForm1Test::unwritableSettingsKeepTheWindowOpen()
{
    Program program;
    // As root, permissions stop nothing; a file in place of the folder does.
    writeFile(program.root() / "blocked", "");
    program.settingsFile = program.root() / "blocked" / "vortan.ini";
    TForm1& window = program.start();
    window.show();
    program.button(1)->click();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(program.errors.size(), attempt);
        QVERIFY2(program.errors.constLast().startsWith(QStringLiteral("Unable to write to ")),
                 qPrintable(program.errors.constLast()));
        QVERIFY(program.errors.constLast().endsWith(QStringLiteral("vortan.ini.")));
    }
    QVERIFY(!fs::exists(program.soundFile));

    // Playing after the refused close must render again, although the mark may be clear.
    program.button(1)->click();
    QVERIFY(fs::exists(program.soundFile));
}

void TForm1Test::terminationSignalSavesWithoutAsking()
{
    Program program;
    TForm1& window = program.start();
    program.button(1)->click();
    program.slider(1)->setValue(90);
    TerminationSignals signalsToQt;
    QSignalSpy requested(&signalsToQt, &TerminationSignals::terminationRequested);
    connect(&signalsToQt, &TerminationSignals::terminationRequested, &window,
            [&window] { window.endSession(); });
    std::raise(SIGTERM);
    QTRY_COMPARE(requested.size(), 1);
    QCOMPARE(requested.constFirst().constFirst().toInt(), SIGTERM);
    QVERIFY(!fs::exists(program.soundFile));
    QVERIFY(readFile(program.settingsFile).find("speed=90\r\n") != std::string::npos);

    // An unwritable file at session end shows nothing and does not throw.
    Program blocked;
    writeFile(blocked.root() / "blocked", "");
    blocked.settingsFile = blocked.root() / "blocked" / "vortan.ini";
    blocked.start().endSession();
    QVERIFY(blocked.errors.isEmpty());
}

void TForm1Test::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Disk full"
                            << "Disk full.";
    QTest::newRow("digit") << "I/O error 28"
                           << "I/O error 28.";
    QTest::newRow("closing parenthesis") << "Cannot use (x)"
                                         << "Cannot use (x)";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("slash, above the stop") << "a/"
                                           << "a/.";
    QTest::newRow("minus, below it") << "a-"
                                     << "a-";
    QTest::newRow("Polish letter") << "Błąd zapisu ż"
                                   << "Błąd zapisu ż.";
    QTest::newRow("empty") << ""
                           << "";
}

void TForm1Test::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(vortan::errorBoxText(message.toStdString()), shown);
}

void TForm1Test::toolbarPictureFollowsButtonFace()
{
    const QPalette original = QApplication::palette();
    const auto hasPicture = [](const Program& program) {
        return !program.child<QWidget>("SpeedBar1")
                    ->palette()
                    .brush(QPalette::Window)
                    .texture()
                    .isNull();
    };
    {
        Program program;
        program.start();
        QVERIFY(hasPicture(program));
    }
    QPalette black = original;
    black.setColor(QPalette::Button, Qt::black);
    QApplication::setPalette(black);
    {
        Program program;
        program.start();
        QVERIFY(!hasPicture(program));
    }
    QApplication::setPalette(original);
}

void TForm1Test::everyControlHasAnAccessibleName()
{
    Program program;
    TForm1& window = program.start();
    window.show();
    const auto nameOf = [](QWidget* widget) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    };
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->objectName().startsWith(QLatin1String("SpeedItem")))
            QVERIFY2(!nameOf(button).isEmpty(), qPrintable(button->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
    QCOMPARE(nameOf(&window), QStringLiteral("Vortan ZENTO"));
    QCOMPARE(nameOf(program.button(15)), QStringLiteral("About"));
    QCOMPARE(nameOf(program.button(1)), QStringLiteral("Play"));
    // Every slider is named by the label above it.
    for (QLabel* label : window.findChildren<QLabel*>()) {
        QVERIFY2(label->buddy() != nullptr, qPrintable(label->text()));
        QCOMPARE(nameOf(label->buddy()), label->text());
    }
    QCOMPARE(window.findChildren<QLabel*>().size(), 6);
    QVERIFY(!nameOf(program.child<QPlainTextEdit>("Memo1")).isEmpty());
    // An editable box reads out its text as its name; its edit field carries the name.
    QCOMPARE(nameOf(program.child<QComboBox>("ComboBox1")->lineEdit()),
             QStringLiteral("Character set"));
}

void TForm1Test::playShortcutWorksWhileTyping()
{
    Program program;
    TForm1& window = program.start();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* memo = program.child<QPlainTextEdit>("Memo1");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_F5);
    QCOMPARE(program.player.calls.size(), 2u);
    QTest::keyClick(memo, Qt::Key_F6);
    QCOMPARE(program.player.calls.back(), std::string("stop"));
    QCOMPARE(program.window->exerciseText(), std::string("vvv =\r\n"));
    QVERIFY(program.button(1)->toolTip().contains(QStringLiteral("F5")));
}

void TForm1Test::aboutButtonShowsTheAboutWindow()
{
    Program program;
    program.start();
    TForm2 about;
    program.window->setAboutWindow(&about);
    QVERIFY(!about.isVisible());
    program.button(15)->click();
    QVERIFY(about.isVisible());
    QVERIFY(program.errors.isEmpty());
}

void TForm1Test::tabFollowsTheFocusOrder()
{
    Program program;
    TForm1& window = program.start();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    program.slider(1)->setFocus();
    const char* const order[] = {"TrackBar2", "TrackBar3", "TrackBar4", "Memo1", "ComboBox1"};
    for (const char* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        // The box's edit field takes the focus for the box.
        if (focused != nullptr && focused->parentWidget() == program.child<QWidget>("ComboBox1"))
            focused = focused->parentWidget();
        QVERIFY(focused != nullptr);
        QCOMPARE(focused->objectName(), QString::fromLatin1(expected));
    }
    QCOMPARE(program.window->exerciseText(), std::string("vvv =\r\n")); // Tab left the text alone
}

void TForm1Test::playIsHeardAtTheTonesPitch()
{
    if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").contains(QLatin1String("pulse"))) {
        if (servicesRequired())
            QFAIL("no sound server: run under scripts/test-services.sh");
        QSKIP("hearing the sound needs the PulseAudio null sink of scripts/test-services.sh");
    }
    PulseSoundServer server;
    Program program;
    program.start(&server);
    QTRY_VERIFY2(server.hasOutput(), "the sound server did not connect");
    program.child<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("tt"));

    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("-d"), QStringLiteral("vsink.monitor"), QStringLiteral("--raw"),
                    QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                    QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
    QVERIFY2(recorder.waitForStarted(), "parec did not start");
    QTest::qWait(300);
    program.button(1)->click();
    QVERIFY(program.errors.isEmpty());
    QTest::qWait(2000);
    recorder.terminate();
    QVERIFY(recorder.waitForFinished());
    const QByteArray raw = recorder.readAllStandardOutput();
    std::vector<int> samples(static_cast<std::size_t>(raw.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(littleEndian(raw.toStdString(), 2 * i, 2));

    // Rising zero crossings inside the loud parts; the pitch is their rate.
    std::vector<std::size_t> crossings;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0 && std::abs(samples[i - 1]) + samples[i] > 2000)
            crossings.push_back(i);
    }
    QVERIFY2(crossings.size() > 100, "the null sink's monitor heard no tone");
    double periods = 0;
    double samplesSpanned = 0;
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        const std::size_t gap = crossings[i] - crossings[i - 1];
        if (gap < 200) { // within one tone, not across a silence
            periods += 1;
            samplesSpanned += static_cast<double>(gap);
        }
    }
    const double pitchHz = periods * 44100.0 / samplesSpanned;
    qInfo("heard %.1f Hz over %.0f periods", pitchHz, periods);
    QVERIFY2(std::abs(pitchHz - 11025.0 / 18) < 5, qPrintable(QString::number(pitchHz)));
}

void TForm1Test::playWithoutSoundServerIsSilent()
{
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/vortan-test/native");
    {
        PulseSoundServer server;
        Program program;
        program.start(&server);
        program.button(1)->click();
        program.button(1)->click();
        program.button(2)->click();
        QVERIFY(program.errors.isEmpty());
        QVERIFY(fs::exists(program.soundFile));
        QVERIFY(!server.isPlaying());
    }
    if (saved.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", saved);
}

QTEST_MAIN(TForm1Test)
#include "vortan1_test.moc"
