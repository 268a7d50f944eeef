#include "controls/WaveControl.h"
#include "platform/output_volume.h"

#include <QtTest>

#include <map>
#include <mutex>
#include <thread>
#include <vector>

using vortan::TWaveVolumeSetting;

namespace {

// An output in memory that records every write and reports outside changes from another
// thread, as the sound server does.
class FakeOutputVolume final : public vortan::OutputVolume {
public:
    std::optional<std::uint32_t> volume() const override
    {
        std::lock_guard lock(m_mutex);
        return m_volume;
    }
    void setVolume(std::uint32_t volume) override
    {
        std::lock_guard lock(m_mutex);
        writes.push_back(volume);
        m_volume = volume;
    }
    int subscribe(ChangeListener listener) override
    {
        std::lock_guard lock(m_mutex);
        m_listeners[++m_lastId] = std::move(listener);
        return m_lastId;
    }
    void unsubscribe(int id) override
    {
        std::lock_guard lock(m_mutex);
        m_listeners.erase(id);
    }
    void changeFromOutside(std::optional<std::uint32_t> volume)
    {
        std::thread([this, volume] {
            std::lock_guard lock(m_mutex);
            m_volume = volume;
            for (auto& [id, listener] : m_listeners)
                listener();
        }).join();
    }
    std::vector<std::uint32_t> writes;

private:
    mutable std::mutex m_mutex;
    std::optional<std::uint32_t> m_volume;
    std::map<int, ChangeListener> m_listeners;
    int m_lastId = 0;
};

constexpr std::uint32_t both(std::uint32_t channel)
{
    return (channel << 16) | channel;
}

} // namespace

class WaveControlTest : public QObject {
    Q_OBJECT

private slots:
    void readsLeftChannelWithoutWriting();
    void userMoveWritesBothChannels();
    void followsOutsideChangesAndUnevenChannels();
    void withoutOutputKeepsItsLevel();
};

void WaveControlTest::readsLeftChannelWithoutWriting()
{
    const struct {
        Qt::Orientation orientation;
        int maximum;
        std::uint32_t volume;
        int position;
    } cases[] = {
        {Qt::Horizontal, 26, both(32767), 13},
        {Qt::Horizontal, 26, 60000u << 16 | 10000u, 3},
        {Qt::Horizontal, 1000, both(65535), 1000}, // clamped
        {Qt::Vertical, 26, both(65535), 0},        // full at the top
    };
    for (const auto& c : cases) {
        FakeOutputVolume output;
        output.changeFromOutside(c.volume);
        TWaveVolumeSetting slider;
        slider.setOrientation(c.orientation);
        slider.setMaximum(c.maximum);
        slider.setOutputVolume(&output);
        QCOMPARE(slider.value(), c.position);
        slider.setValue(5); // by code: shown, never written
        slider.refresh();
        QCOMPARE(slider.value(), c.position);
        QVERIFY(output.writes.empty());
    }
}

void WaveControlTest::userMoveWritesBothChannels()
{
    const struct {
        Qt::Orientation orientation;
        int position;
        std::uint32_t written;
    } cases[] = {
        {Qt::Horizontal, 13, 0x7ff87ff8u},
        {Qt::Horizontal, 0, 0u},
        {Qt::Vertical, 0, both(65520)}, // the top is loud
    };
    for (const auto& c : cases) {
        FakeOutputVolume output;
        output.changeFromOutside(both(20000));
        TWaveVolumeSetting slider;
        slider.setOrientation(c.orientation);
        slider.setOutputVolume(&output);
        slider.setSliderPosition(c.position); // what a drag does
        QCOMPARE(output.writes, std::vector<std::uint32_t>{c.written});
        slider.refresh(); // what was written reads back as the same position
        QCOMPARE(slider.value(), c.position);
    }
}
void WaveControlTest::followsOutsideChangesAndUnevenChannels()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(0));
    TWaveVolumeSetting slider;
    slider.setOrientation(Qt::Horizontal);
    slider.setOutputVolume(&output);
    output.changeFromOutside(60000u << 16 | 10000u);
    QTRY_COMPARE(slider.value(), 3);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::keyClick(&slider, Qt::Key_Left);
    QCOMPARE(output.writes, (std::vector<std::uint32_t>{both(4 * 2520), both(7560)}));
    output.changeFromOutside(std::nullopt); // the server went away: the level stays
    QTest::qWait(20);
    QCOMPARE(slider.value(), 3);
}

void WaveControlTest::withoutOutputKeepsItsLevel()
{
    TWaveVolumeSetting slider;
    slider.setValue(13);
    slider.refresh();
    QCOMPARE(slider.value(), 13);
    FakeOutputVolume silent; // connected, no server yet
    slider.setOutputVolume(&silent);
    QCOMPARE(slider.value(), 13);
    slider.setOutputVolume(nullptr);
    slider.setSliderPosition(5);
    QCOMPARE(slider.value(), 5);
    QVERIFY(silent.writes.empty());
}

QTEST_MAIN(WaveControlTest)
#include "wavecontrol_test.moc"
