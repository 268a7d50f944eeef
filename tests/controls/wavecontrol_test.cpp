#include "controls/WaveControl.h"
#include "platform/output_volume.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QtTest>

#include <map>
#include <mutex>
#include <thread>
#include <vector>

using vortan::TWaveVolumeSetting;

namespace {

// An output kept in memory that records every write and can report changes from another thread,
// as the sound server does.
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

    // A change made elsewhere, reported from a thread of its own.
    void changeFromOutside(std::optional<std::uint32_t> volume)
    {
        std::thread reporter([this, volume] {
            std::lock_guard lock(m_mutex);
            m_volume = volume;
            for (auto& [id, listener] : m_listeners)
                listener();
        });
        reporter.join();
    }
    std::size_t listenerCount() const
    {
        std::lock_guard lock(m_mutex);
        return m_listeners.size();
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
    void constructionDefaults();
    void readsLeftChannel_data();
    void readsLeftChannel();
    void userMovesWriteBothChannels_data();
    void userMovesWriteBothChannels();
    void codeNeverWrites();
    void differentChannelsThenMove();
    void followsOutsideChanges();
    void withoutOutput();
    void zeroMaximumIsHarmless();
    void screenReaderMovesLikeAUser();
    void verticalUpIsLouder();
};

void WaveControlTest::constructionDefaults()
{
    TWaveVolumeSetting slider;
    QCOMPARE(slider.orientation(), Qt::Vertical);
    QCOMPARE(slider.tickPosition(), QSlider::NoTicks);
    QCOMPARE(slider.size(), QSize(27, 113));
    QCOMPARE(slider.minimum(), 0);
    QCOMPARE(slider.maximum(), 26);
    QCOMPARE(slider.volumeStep(), 2520);
    QCOMPARE(slider.accessibleName(), QStringLiteral("Wave volume"));
}

void WaveControlTest::readsLeftChannel_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<std::uint32_t>("volume");
    QTest::addColumn<int>("position");
    QTest::newRow("half") << Qt::Horizontal << 26 << both(32767) << 13;
    QTest::newRow("full") << Qt::Horizontal << 26 << both(65535) << 26;
    QTest::newRow("just under a step") << Qt::Horizontal << 26 << both(2519) << 0;
    QTest::newRow("left only") << Qt::Horizontal << 26 << ((60000u << 16) | 10000u) << 3;
    QTest::newRow("clamped to max") << Qt::Horizontal << 1000 << both(65535) << 1000;
    QTest::newRow("vertical full at top") << Qt::Vertical << 26 << both(65535) << 0;
    QTest::newRow("vertical silent at bottom") << Qt::Vertical << 26 << both(0) << 26;
}

void WaveControlTest::readsLeftChannel()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(int, maximum);
    QFETCH(std::uint32_t, volume);
    QFETCH(int, position);
    FakeOutputVolume output;
    output.changeFromOutside(volume);
    TWaveVolumeSetting slider;
    slider.setOrientation(orientation);
    slider.setMaximum(maximum);
    slider.setOutputVolume(&output);
    QCOMPARE(slider.value(), position);
    QVERIFY(output.writes.empty());
}

void WaveControlTest::userMovesWriteBothChannels_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<int>("position");
    QTest::addColumn<std::uint32_t>("written");
    QTest::newRow("middle") << Qt::Horizontal << 13 << 0x7ff87ff8u;
    QTest::newRow("top") << Qt::Horizontal << 26 << both(65520);
    QTest::newRow("bottom") << Qt::Horizontal << 0 << 0u;
    QTest::newRow("vertical top is loud") << Qt::Vertical << 0 << both(65520);
}

void WaveControlTest::userMovesWriteBothChannels()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(int, position);
    QFETCH(std::uint32_t, written);
    FakeOutputVolume output;
    output.changeFromOutside(both(20000));
    TWaveVolumeSetting slider;
    slider.setOrientation(orientation);
    slider.setOutputVolume(&output);
    slider.setSliderPosition(position); // what a drag does
    QCOMPARE(output.writes, std::vector<std::uint32_t>{written});
    // What was written reads back as the same position.
    slider.refresh();
    QCOMPARE(slider.value(), position);
}

void WaveControlTest::codeNeverWrites()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(30000));
    TWaveVolumeSetting slider;
    slider.setOutputVolume(&output);
    slider.setValue(3);
    slider.refresh();
    output.changeFromOutside(both(50000));
    QTRY_COMPARE(slider.value(), 26 - 50000 / 2520);
    QVERIFY(output.writes.empty());
}

void WaveControlTest::differentChannelsThenMove()
{
    FakeOutputVolume output;
    output.changeFromOutside((60000u << 16) | 10000u);
    TWaveVolumeSetting slider;
    slider.setOrientation(Qt::Horizontal);
    slider.setOutputVolume(&output);
    QCOMPARE(slider.value(), 3);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::keyClick(&slider, Qt::Key_Left);
    QCOMPARE(slider.value(), 3);
    QCOMPARE(output.writes.back(), both(7560));
    QCOMPARE(output.writes.size(), 2u);
}

void WaveControlTest::followsOutsideChanges()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(0));
    auto* slider = new TWaveVolumeSetting;
    slider->setOrientation(Qt::Horizontal);
    slider->setOutputVolume(&output);
    QCOMPARE(output.listenerCount(), 1u);
    output.changeFromOutside(both(32767));
    QTRY_COMPARE(slider->value(), 13);
    // The server going away leaves the last level in place.
    output.changeFromOutside(std::nullopt);
    QTest::qWait(20);
    QCOMPARE(slider->value(), 13);
    delete slider;
    QCOMPARE(output.listenerCount(), 0u);
    output.changeFromOutside(both(100)); // nobody left to call
}

void WaveControlTest::withoutOutput()
{
    TWaveVolumeSetting slider;
    slider.setValue(13);
    slider.refresh();
    slider.setSliderPosition(5); // nothing to write to, nothing happens
    QCOMPARE(slider.value(), 5);

    FakeOutputVolume silent; // connected but no server yet
    slider.setOutputVolume(&silent);
    QCOMPARE(slider.value(), 5);
    slider.setOutputVolume(nullptr);
    QCOMPARE(silent.listenerCount(), 0u);
}

void WaveControlTest::zeroMaximumIsHarmless()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(40000));
    TWaveVolumeSetting slider;
    slider.setRange(0, 0);
    slider.setOutputVolume(&output);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Up);
    slider.refresh();
    QCOMPARE(slider.volumeStep(), 0);
    QVERIFY(output.writes.empty());
}

void WaveControlTest::screenReaderMovesLikeAUser()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(0));
    TWaveVolumeSetting slider;
    slider.setOrientation(Qt::Horizontal);
    slider.setOutputVolume(&output);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&slider);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Slider);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Wave volume"));
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->maximumValue().toInt(), 26);
    value->setCurrentValue(13);
    QCOMPARE(output.writes, std::vector<std::uint32_t>{0x7ff87ff8u});
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("13"));
}

void WaveControlTest::verticalUpIsLouder()
{
    FakeOutputVolume output;
    output.changeFromOutside(both(32767));
    TWaveVolumeSetting slider;
    slider.setOutputVolume(&output);
    slider.show();
    QCOMPARE(slider.value(), 13);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Up);
    QCOMPARE(output.writes.back(), both(14 * 2520));
    QTest::keyClick(&slider, Qt::Key_PageDown);
    QVERIFY((output.writes.back() & 0xffff) < 14 * 2520);
    // A click above the handle moves it up, towards full volume.
    const std::uint32_t before = output.writes.back() & 0xffff;
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() / 2, 2));
    QVERIFY((output.writes.back() & 0xffff) > before);
}

QTEST_MAIN(WaveControlTest)
#include "wavecontrol_test.moc"
