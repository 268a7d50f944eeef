// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/WaveControl.h"
#include "sound/output_volume.h"

#include <QtTest>

#include <thread>
#include <vector>

using vortan::TWaveVolumeSetting;

namespace {

// An output in memory that records every write and reports outside changes from another
// thread, as the sound server does (joined before anyone reads, so no lock is needed).
class FakeOutputVolume final : public vortan::OutputVolume {
public:
    std::optional<std::uint32_t> volume() const override { return m_volume; }
    void setVolume(std::uint32_t volume) override { writes.push_back(*(m_volume = volume)); }
    int subscribe(ChangeListener listener) override
    {
        m_listener = std::move(listener);
        return 1;
    }
    void unsubscribe(int) override { m_listener = nullptr; }
    void changeFromOutside(std::optional<std::uint32_t> volume)
    {
        std::thread([this, volume] {
            m_volume = volume;
            if (m_listener)
                m_listener();
        }).join();
    }
    std::vector<std::uint32_t> writes;
    std::optional<std::uint32_t> m_volume;
    ChangeListener m_listener;
};

constexpr std::uint32_t both(std::uint32_t channel)
{
    return (channel << 16) | channel;
}

} // namespace

class WaveControlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheLeftChannelAndWritesBoth_data();
    void followsTheLeftChannelAndWritesBoth();
};

void WaveControlTest::followsTheLeftChannelAndWritesBoth_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<quint32>("volume"); // reported by the output
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("movedTo"); // by the user
    QTest::addColumn<quint32>("written");
    QTest::newRow("half") << Qt::Horizontal << 26 << both(32767) << 13 << 0 << 0u;
    QTest::newRow("left channel counts")
        << Qt::Horizontal << 26 << (60000u << 16 | 10000u) << 3 << 3 << both(7560);
    QTest::newRow("silent") << Qt::Horizontal << 26 << both(0) << 0 << 13 << 0x7ff87ff8u;
    QTest::newRow("shown clamped")
        << Qt::Horizontal << 1000 << both(65535) << 1000 << 500 << both(65 * 500);
    QTest::newRow("the top is loud") << Qt::Vertical << 26 << both(0) << 26 << 0 << both(65520);
}

void WaveControlTest::followsTheLeftChannelAndWritesBoth()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(int, maximum);
    QFETCH(quint32, volume);
    QFETCH(int, shown);
    QFETCH(int, movedTo);
    QFETCH(quint32, written);
    FakeOutputVolume output;
    TWaveVolumeSetting slider;
    slider.setOrientation(orientation);
    slider.setMaximum(maximum);
    slider.setOutputVolume(&output);
    output.changeFromOutside(volume); // reported from the server's thread
    QTRY_COMPARE(slider.value(), shown);
    slider.setValue(5); // by code: shown, never written
    QVERIFY(output.writes.empty());
    slider.setSliderPosition(movedTo); // what a drag does
    QCOMPARE(output.writes, std::vector<std::uint32_t>{written});
    slider.refresh(); // what was written reads back as the same position
    QCOMPARE(slider.value(), movedTo);
    output.changeFromOutside(std::nullopt); // the server went away: the level stays
    QTest::qWait(20);
    QCOMPARE(slider.value(), movedTo);
}

QTEST_MAIN(WaveControlTest)
#include "wavecontrol_test.moc"
