// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>

#include <atomic>
#include <cstdint>

namespace vortan {

class OutputVolume;

// A slider bound to the output volume: moving it sets both channels of the output at once, and
// it follows changes made elsewhere (the desktop's mixer) as soon as the server reports them.
// Only user moves write; a position set by code never does.
class TWaveVolumeSetting : public QSlider {
    Q_OBJECT

public:
    explicit TWaveVolumeSetting(QWidget* parent = nullptr);
    ~TWaveVolumeSetting() override;

    // The output this slider controls; nullptr (the start) means none, and the slider then only
    // keeps its position. The slider does not own it; it must outlive the slider or be replaced.
    void setOutputVolume(OutputVolume* volume);
    OutputVolume* outputVolume() const { return m_volume; }

    // 65535 / maximum(): the channel value of one step (0 when maximum() < 1).
    int volumeStep() const;
    // The volume a position stands for: the step times the level, in both channels.
    std::uint32_t volumeForPosition(int position) const;
    // The position that shows a volume: its left channel cut down to a whole step.
    int positionForVolume(std::uint32_t volume) const;

    // Reads the volume kept in memory and moves the slider to it; never writes.
    void refresh();

protected:
    // A vertical slider has its minimum at the top, as the classic track bar does: with the
    // level counted from the maximum down, up means louder, by mouse, keys and wheel alike.
    void initStyleOption(QStyleOptionSlider* option) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void writeVolume(int action);

    OutputVolume* m_volume = nullptr;
    int m_subscription = -1;
    // Coalesces change reports from the server thread into one queued refresh.
    std::atomic<bool> m_refreshQueued{false};
};

} // namespace vortan
