// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/WaveControl.h"

#include "desktop/accessible_factories.h"
#include "sound/output_volume.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QMetaObject>
#include <QStyleOptionSlider>

#include <algorithm>

namespace vortan {
namespace {

// A screen reader that sets the slider's value (rather than pressing keys) is a user moving it,
// so here the value interface moves the slider as a drag does, which writes the volume.
class WaveVolumeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit WaveVolumeAccessible(TWaveVolumeSetting* slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(slider()->value());
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override
    {
        slider()->setSliderPosition(value.toInt());
    }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    TWaveVolumeSetting* slider() const { return static_cast<TWaveVolumeSetting*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("vortan::TWaveVolumeSetting") && object &&
        object->isWidgetType())
        return new WaveVolumeAccessible(static_cast<TWaveVolumeSetting*>(object));
    return nullptr;
}

} // namespace

TWaveVolumeSetting::TWaveVolumeSetting(QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    installAccessibleFactory(accessibleFactory);
    setTickPosition(QSlider::NoTicks);
    resize(27, 113);
    setRange(0, 26);
    setAccessibleName(tr("Wave volume"));
    // actionTriggered comes from the user only (mouse, keys, wheel); setValue() never emits it.
    // The new position is already in sliderPosition() when it fires.
    connect(this, &QAbstractSlider::actionTriggered, this, &TWaveVolumeSetting::writeVolume);
    // Reports that came in while the user dragged were skipped; catch up now.
    connect(this, &QAbstractSlider::sliderReleased, this, &TWaveVolumeSetting::refresh);
}

TWaveVolumeSetting::~TWaveVolumeSetting()
{
    setOutputVolume(nullptr);
}

void TWaveVolumeSetting::setOutputVolume(OutputVolume* volume)
{
    if (m_volume && m_subscription >= 0)
        m_volume->unsubscribe(m_subscription);
    m_subscription = -1;
    m_volume = volume;
    if (!m_volume)
        return;
    m_subscription = m_volume->subscribe([this] {
        // Server thread: hand over to ours, once per burst of reports.
        if (!m_refreshQueued.exchange(true)) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_refreshQueued = false;
                    refresh();
                },
                Qt::QueuedConnection);
        }
    });
    refresh();
}

int TWaveVolumeSetting::volumeStep() const
{
    return maximum() >= 1 ? 65535 / maximum() : 0;
}

std::uint32_t TWaveVolumeSetting::volumeForPosition(int position) const
{
    const int level = orientation() == Qt::Horizontal ? position : maximum() - position;
    const auto channel =
        static_cast<std::uint32_t>(std::clamp<long long>(1LL * volumeStep() * level, 0, 65535));
    return (channel << 16) | channel;
}

int TWaveVolumeSetting::positionForVolume(std::uint32_t volume) const
{
    const int step = volumeStep();
    const int level = step > 0 ? static_cast<int>(volume & 0xffffu) / step : 0;
    return orientation() == Qt::Horizontal ? level : maximum() - level;
}

void TWaveVolumeSetting::refresh()
{
    if (!m_volume || volumeStep() == 0 || isSliderDown())
        return;
    // Without a server the slider keeps the level it last showed.
    if (const auto current = m_volume->volume())
        setValue(positionForVolume(*current)); // clamped into range; emits no actionTriggered
}

void TWaveVolumeSetting::initStyleOption(QStyleOptionSlider* option) const
{
    QSlider::initStyleOption(option);
    if (orientation() == Qt::Vertical)
        option->upsideDown = !option->upsideDown;
}

void TWaveVolumeSetting::keyPressEvent(QKeyEvent* event)
{
    // The orientation may change after construction (the window layout sets it).
    setInvertedControls(orientation() == Qt::Vertical);
    QSlider::keyPressEvent(event);
}

void TWaveVolumeSetting::wheelEvent(QWheelEvent* event)
{
    setInvertedControls(orientation() == Qt::Vertical);
    QSlider::wheelEvent(event);
}

void TWaveVolumeSetting::writeVolume(int)
{
    if (!m_volume || volumeStep() == 0)
        return;
    m_volume->setVolume(volumeForPosition(sliderPosition()));
}

} // namespace vortan
