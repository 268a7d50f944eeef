// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/reaction_time_dialog.h"

#include "base/errors.h"
#include "synthesis/beep_track.h"
#include "synthesis/keying.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <random>

namespace vortan {

namespace {

constexpr int kBeepToneHz = 880;
// Silence after the last beep, so that its answer is still timed while the sound plays.
constexpr int kTailMs = kReactionGapMaxMs;

} // namespace

ReactionTimeDialog::ReactionTimeDialog(ReactionSound sound, QWidget* parent)
    : QDialog(parent)
    , m_sound(std::move(sound))
{
    setWindowTitle(tr("Measure my reaction time"));
    setAccessibleName(tr("Measure my reaction time"));

    m_instructions = new QLabel(
        tr("Press Space each time you hear a beep. %n beeps come at random moments, one to two "
           "and a half seconds apart. Your usual time is then taken off your recognition times. "
           "Escape cancels.",
           nullptr, kReactionBeeps),
        this);
    m_instructions->setWordWrap(true);
    m_instructions->setObjectName(QStringLiteral("instructionsLabel"));

    // Its text is what a screen reader says: each answer, then the result.
    m_statusLabel = new QLabel(this);
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setFocusPolicy(Qt::StrongFocus);
    m_statusLabel->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));

    m_startButton = new QPushButton(tr("&Start"), this);
    m_startButton->setObjectName(QStringLiteral("startButton"));
    m_startButton->setDefault(true);
    m_keepButton = new QPushButton(tr("&Keep this time"), this);
    m_keepButton->setObjectName(QStringLiteral("keepButton"));
    m_keepButton->setEnabled(false);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startButton);
    buttons->addStretch();
    buttons->addWidget(m_keepButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_instructions);
    layout->addWidget(m_statusLabel);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, 200);

    m_timer = new QTimer(this);
    m_timer->setInterval(20);
    connect(m_timer, &QTimer::timeout, this, &ReactionTimeDialog::followSound);
    connect(m_startButton, &QPushButton::clicked, this, &ReactionTimeDialog::startBeeps);
    connect(m_keepButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ReactionTimeDialog::~ReactionTimeDialog() = default;

void ReactionTimeDialog::startBeeps()
{
    const std::vector<int> startsMs = reactionBeepStartsMs(std::random_device{}());
    std::vector<std::int64_t> startFrames;
    for (const int ms : startsMs)
        startFrames.push_back(std::int64_t{ms} * sampleRateHz / 1000);
    m_medianMs.reset();
    m_keepButton->setEnabled(false);
    try {
        m_sound.play(beepTrackWav(startsMs, kReactionBeepMs, kBeepToneHz, kTailMs));
    } catch (const Error& error) {
        m_calibration.reset();
        m_statusLabel->setText(
            tr("The beeps cannot be played: %1").arg(QString::fromUtf8(error.what())));
        return;
    }
    m_calibration.emplace(std::move(startFrames), sampleRateHz);
    m_clock.reset();
    m_soundStarted = false;
    m_startButton->setEnabled(false);
    m_statusLabel->setText(tr("Listening: press Space at each beep."));
    // Space goes to the dialog, not to a button.
    m_statusLabel->setFocus(Qt::OtherFocusReason);
    m_timer->start();
}

std::int64_t ReactionTimeDialog::frameNow()
{
    const std::optional<std::int64_t> told = m_sound.heardFrame();
    if (told)
        m_soundStarted = true;
    return m_clock.frameNow(told).value_or(-1);
}

void ReactionTimeDialog::followSound()
{
    frameNow();
    if (!m_calibration)
        return;
    // Once the beeps have played out, the ones not answered stay so.
    if (m_soundStarted && !m_sound.heardFrame())
        m_calibration->soundEnded();
    if (m_calibration->finished())
        finish();
}

void ReactionTimeDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || !m_calibration || m_calibration->finished() ||
        !m_timer->isActive()) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->isAutoRepeat())
        return;
    const std::int64_t frame = frameNow();
    const ReactionPress press =
        m_calibration->press(frame < 0 ? std::nullopt : std::optional(frame));
    if (press == ReactionPress::BeforeBeep) {
        m_statusLabel->setText(tr("Too early: no beep had sounded, so that press is not counted."));
        return;
    }
    const std::vector<int>& answers = m_calibration->answersMs();
    m_statusLabel->setText(
        tr("Beep %1 of %2: %3 ms.").arg(answers.size()).arg(kReactionBeeps).arg(answers.back()));
    if (m_calibration->finished())
        finish();
}

void ReactionTimeDialog::finish()
{
    m_timer->stop();
    m_sound.stop();
    m_medianMs = m_calibration->medianMs();
    const auto answered = static_cast<int>(m_calibration->answersMs().size());
    m_startButton->setText(tr("&Redo"));
    m_startButton->setEnabled(true);
    if (m_medianMs) {
        m_statusLabel->setText(
            tr("Your reaction time: %1 ms, the median of %n answered beeps. Keep this time to "
               "take it off your recognition times, or Redo.",
               nullptr, answered)
                .arg(*m_medianMs));
        m_keepButton->setEnabled(true);
        m_keepButton->setDefault(true);
    } else {
        m_statusLabel->setText(
            tr("Only %n of the beeps were answered, too few to give a time. Redo to try again.",
               nullptr, answered));
        m_startButton->setDefault(true);
    }
    m_statusLabel->setFocus(Qt::OtherFocusReason);
}

void ReactionTimeDialog::done(int result)
{
    if (m_timer->isActive()) {
        m_timer->stop();
        m_sound.stop();
    }
    if (result != Accepted)
        m_medianMs.reset(); // cancelled: nothing is kept
    QDialog::done(result);
}

} // namespace vortan
