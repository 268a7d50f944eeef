#include "controls/WaveControl.h"
#include "platform/pulse_sound_server.h"
#include "pulse_test_support.h"

#include <QtTest>

using vortan::PulseSoundServer;
using vortan::TWaveVolumeSetting;
namespace support = vortan::testing;

// The slider on the test server's default sink (vsink), driven as a user would.
class WaveControlPulseTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writesAndFollowsTheSink();

private:
    static std::string sinkVolume() { return support::run("pactl get-sink-volume vsink"); }
};

void WaveControlPulseTest::init()
{
    if (!support::sharedServerRunning()) {
        if (support::servicesRequired())
            QFAIL("the slider test needs the test sound server (run under test-services.sh)");
        QSKIP("the slider test needs the test sound server (run under test-services.sh)");
    }
}

void WaveControlPulseTest::cleanup()
{
    if (support::sharedServerRunning())
        support::run("pactl set-sink-volume vsink 100%");
}

void WaveControlPulseTest::writesAndFollowsTheSink()
{
    support::run("pactl set-sink-volume vsink 100%");
    PulseSoundServer server("Vortan test");
    TWaveVolumeSetting slider;
    slider.setOrientation(Qt::Horizontal);
    slider.setValue(5);
    slider.setOutputVolume(&server);
    QTRY_COMPARE(slider.value(), 26); // the first report replaces the stored position

    slider.setSliderPosition(13); // a drag to the middle
    QTRY_VERIFY(QString::fromStdString(sinkVolume()).count(QStringLiteral("32760 /")) == 2);
    QCOMPARE(slider.value(), 13);

    support::run("pactl set-sink-volume vsink 25%");
    QTRY_COMPARE(slider.value(), 16384 / 2520);

    // Different channels: the left one shows; a user move sets both alike.
    support::run("pactl set-sink-volume vsink 10000 60001");
    QTRY_COMPARE(slider.value(), 3);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::keyClick(&slider, Qt::Key_Left);
    QTRY_VERIFY(QString::fromStdString(sinkVolume()).count(QStringLiteral("7560 /")) == 2);
    QCOMPARE(slider.value(), 3);
    slider.setOutputVolume(nullptr);
}

QTEST_MAIN(WaveControlPulseTest)
#include "wavecontrol_pulse_test.moc"
