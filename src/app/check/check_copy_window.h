// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The "Check copy" window: the learner types or pastes what they copied while a rendering
// played, and sees it scored against that rendering's text (not the text box as it is now).
// Every check goes into the history; a history that fails is reported and the result is still
// shown. The main window hands over each rendering (setSentExercise), covers its text box while
// textCovered() is true, and picks the list entry that nextSetChosen() names.

#include "history/check_history.h"
#include "scoring/check_rules.h"
#include "scoring/copy_check.h"
#include "scoring/heard_part.h"
#include "scoring/keystroke_clock.h"
#include "scoring/recognition_time.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;
class QVBoxLayout;
class QTimer;

namespace vortan {

class CheckCopyWindow : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool hideWhileCopying READ hideWhileCopying WRITE setHideWhileCopying)
    Q_PROPERTY(bool textCovered READ textCovered NOTIFY textCoverChanged)

public:
    // The history must outlive the window.
    CheckCopyWindow(CheckHistory& history, HistoryErrorReporter reportError,
                    QWidget* parent = nullptr);
    ~CheckCopyWindow() override;

    // The rendering that Play or Save WAV made last. The result of the one before goes; a copy
    // typed but not yet checked stays (it was typed for this rendering).
    void setSentExercise(const SentExercise& sent);

    // How far a Play of the current rendering was heard: to the sample the player had brought
    // to the speakers when it was stopped, or (none) to its end. Only the heard part is checked
    // and kept; of several plays the one heard furthest counts. A rendering is checked whole
    // until told otherwise (Save WAV, a Play not stopped yet).
    void setHeardUntil(std::optional<std::int64_t> heardSample);

    // The frame of the current sound that reaches the speakers now, none when none plays: the
    // clock that times a copy typed along.
    using HeardClock = std::function<std::optional<std::int64_t>()>;
    void setHeardClock(HeardClock clock);

    // "Type along while it plays": each character typed into the copy while a sound plays keeps
    // the heard frame of its keystroke, and a check gives the recognition time of each character
    // copied right. Off at first.
    bool typeAlong() const;
    void setTypeAlong(bool on);

    // How "Measure my reaction time" plays its beeps; the button is there once this is given.
    void setReactionSound(std::function<void(const std::vector<std::uint8_t>& wav)> play,
                          std::function<void()> stop);

    // The learner's own time to press a key, taken off every recognition time; 0 when not
    // measured.
    int reactionMs() const { return m_reactionMs; }
    void setReactionMs(int milliseconds);

    // Opens "Measure my reaction time"; a time measured and kept becomes reactionMs().
    void measureReactionTime();

    // "Check when the sound ends": typing along, the copy is checked once the sound has ended
    // and no key was typed for kCheckAfterEndMs (the last group is typed after the sound).
    // Off at first.
    bool checkWhenSoundEnds() const;
    void setCheckWhenSoundEnds(bool on);
    static constexpr int kCheckAfterEndMs = 1500;

    // The keystroke frame of each character of the copy field (none: typed without a sound,
    // pasted, or typed for an earlier rendering).
    const KeystrokeFrames& keystrokeFrames() const { return m_keyFrames; }

    // The recognition times of the last check, one per scored character; empty when it was not
    // typed along.
    const std::vector<std::optional<RecognitionTime>>& lastRecognitionTimes() const;

    // The part of the current rendering that a Check would check.
    HeardPart heardPart() const;

    // Shows the window without blocking the main window, or brings it to the front, with the
    // focus in the copy box.
    void showCheck();

    // "Hide while copying": while on, the main window covers its exercise text until the copy
    // of the current rendering is checked. Off at first.
    bool hideWhileCopying() const;
    void setHideWhileCopying(bool on);

    // Whether the exercise text should be covered now: the option is on, this window is shown
    // and the current rendering has not been checked yet.
    bool textCovered() const { return m_textCovered; }

    // Check: scores the copy against the current rendering, shows and keeps the result.
    void checkCopy();

    // Checks the history could not take yet (another program held it): tried again every
    // kRetryInterval and by "Keep", in the order they were made.
    const std::vector<CopyCheck>& unkeptChecks() const { return m_unkept; }
    static constexpr int kRetryIntervalMs = 3000;

    // Keep: tries to keep the unkept checks now; a failure is reported when `reportFailure`.
    void keepUnkept(bool reportFailure = true);

Q_SIGNALS:
    void textCoverChanged(bool covered);
    // "Next set": the learner takes the next entry of the character-set box (index from 0).
    void nextSetChosen(int entryIndex);
    // A check was made (and kept, unless the history failed).
    void checked();
    // "Measure my reaction time" kept a new time.
    void reactionMeasured(int milliseconds);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void updateCover();
    void updateCheckButton();
    void showHeardPart();
    void showResult();
    void announceResult();
    void clearResult();
    bool keep(const CopyCheck& check);
    void showUnkeptStatus();
    void offerNextSet(const CopyCheck& check);
    void addAdviceLabel(QVBoxLayout& layout);
    void showOffer(const std::optional<NextSetChoice>& offer);
    void showWhatFollows(const CopyCheck& check);
    void buildTypeAlong(QHBoxLayout& options);
    void recordKeystrokes(int position, int removed, int added);
    void updateClockPolling();
    KeystrokeFrames copyKeystrokeFrames() const;
    QString recognitionText() const;
    void buildReactionButton(QHBoxLayout& options);
    void followSound();

    CheckHistory& m_history;
    HistoryErrorReporter m_reportError;
    std::optional<SentExercise> m_sent;
    std::optional<CopyCheck> m_lastCheck;
    bool m_heardWhole = false;               // a Play of the current rendering ran to its end
    std::optional<std::int64_t> m_stoppedAt; // the furthest a stopped Play of it was heard
    CheckRules m_rules;
    std::vector<CopyCheck> m_unkept;
    bool m_textCovered = false;
    std::optional<int> m_offeredSet;

    QPlainTextEdit* m_copyEdit = nullptr;
    QCheckBox* m_hideBox = nullptr;
    QPushButton* m_checkButton = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_accuracyLabel = nullptr;
    QLabel* m_countsLabel = nullptr;
    QTextBrowser* m_alignedView = nullptr;
    QLabel* m_legendLabel = nullptr;
    QLabel* m_summaryLabel = nullptr;
    QPushButton* m_nextSetButton = nullptr;
    QPushButton* m_keepButton = nullptr;
    QTimer* m_retryTimer = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_adviceLabel = nullptr;

    QCheckBox* m_typeAlongBox = nullptr;
    HeardClock m_heardClock;
    KeystrokeClock m_keystrokeClock;
    QTimer* m_clockTimer = nullptr;
    KeystrokeFrames m_keyFrames; // one per character of the copy field

    QPushButton* m_reactionButton = nullptr;
    std::function<void(const std::vector<std::uint8_t>& wav)> m_playBeeps;
    std::function<void()> m_stopBeeps;
    int m_reactionMs = 0;

    QCheckBox* m_checkAtEndBox = nullptr;
    QTimer* m_endCheckTimer = nullptr;
    std::optional<std::int64_t> m_lastTold; // what the player told at the last look
};

} // namespace vortan
