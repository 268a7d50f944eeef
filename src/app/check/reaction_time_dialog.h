// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Measure my reaction time": beeps at random moments, the learner presses Space at each, and
// the median of their times is what recognition times leave out. The presses are timed by the
// heard frame of the beeps' sound, as the keystrokes of type-along are, so the sound server's
// latency is not in them.

#include "scoring/keystroke_clock.h"
#include "scoring/reaction_calibration.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace vortan {

// How the dialog sounds its beeps: plays the bytes of a WAV file (throws vortan::Error when it
// cannot), stops them, and tells the frame of them now heard (none when nothing plays).
struct ReactionSound {
    std::function<void(const std::vector<std::uint8_t>& wav)> play;
    std::function<void()> stop;
    std::function<std::optional<std::int64_t>()> heardFrame;
};

class ReactionTimeDialog : public QDialog {
    Q_OBJECT

public:
    ReactionTimeDialog(ReactionSound sound, QWidget* parent = nullptr);
    ~ReactionTimeDialog() override;

    // Starts the beeps (again, for Redo).
    void startBeeps();

    // The median of the last measurement, once one gave a result.
    std::optional<int> medianMs() const { return m_medianMs; }

    // The calibration running now or last, for tests.
    const std::optional<ReactionCalibration>& calibration() const { return m_calibration; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void followSound();
    void finish();
    std::int64_t frameNow();

    ReactionSound m_sound;
    KeystrokeClock m_clock;
    std::optional<ReactionCalibration> m_calibration;
    bool m_soundStarted = false;
    std::optional<int> m_medianMs;

    QLabel* m_instructions = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_keepButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace vortan
