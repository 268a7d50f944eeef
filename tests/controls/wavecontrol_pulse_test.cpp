// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/WaveControl.h"
#include "sound/pulse_volume.h"
#include "support/pulse_test_support.h"

#include <QtTest>

namespace support = vortan::testing;

// The slider on the test server's default sink (vsink), moved as a user would.
class WaveControlPulseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesAndFollowsTheSink();
};

void WaveControlPulseTest::writesAndFollowsTheSink()
{
    if (!support::sharedServerRunning()) {
        const char* why =
            "the slider test needs the test sound server (run under test-services.sh)";
        if (support::servicesRequired())
            QFAIL(why);
        QSKIP(why);
    }
    support::run("pactl set-sink-volume vsink 100%");
    vortan::PulseConnection connection("Vortan test");
    vortan::PulseVolume server(connection);
    vortan::TWaveVolumeSetting slider;
    slider.setOrientation(Qt::Horizontal);
    slider.setOutputVolume(&server);
    QTRY_COMPARE(slider.value(), 26);

    slider.setSliderPosition(13);
    QTRY_COMPARE(QString::fromStdString(support::run("pactl get-sink-volume vsink"))
                     .count(QStringLiteral("32760 /")),
                 2);
    support::run("pactl set-sink-volume vsink 25%");
    QTRY_COMPARE(slider.value(), 16384 / 2520);
    slider.setOutputVolume(nullptr);
    support::run("pactl set-sink-volume vsink 100%");
}

QTEST_MAIN(WaveControlPulseTest)
#include "wavecontrol_pulse_test.moc"
