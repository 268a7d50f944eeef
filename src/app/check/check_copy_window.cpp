// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/check_copy_window.h"

#include "app/check/aligned_copy_view.h"
#include "app/check/reaction_time_dialog.h"
#include "app/progress/progress_window.h"
#include "base/errors.h"
#include "desktop/translated_wording.h"
#include "desktop/windows1250.h"
#include "history/local_days.h"
#include "history/practice_advice_reader.h"

#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace vortan {

namespace {

// The copy as windows-1250 bytes. A character the code page lacks becomes SUB (0x1A) rather
// than "?", which is a Morse character and would score as one.
std::string copyBytes(const QString& copy)
{
    if (windows1250::canEncode(copy))
        return windows1250::fromUnicode(copy);
    QString encodable;
    encodable.reserve(copy.size());
    for (qsizetype i = 0; i < copy.size(); ++i) {
        const QChar c = copy[i];
        if (c.isHighSurrogate() && i + 1 < copy.size() && copy[i + 1].isLowSurrogate()) {
            encodable += QChar(0x1A);
            ++i;
        } else {
            encodable += windows1250::canEncode(QString(c)) ? c : QChar(0x1A);
        }
    }
    return windows1250::fromUnicode(encodable);
}

QString unicode(std::string_view bytes)
{
    return windows1250::toUnicode(bytes);
}

QString character(unsigned char byte)
{
    return unicode(std::string_view(reinterpret_cast<const char*>(&byte), 1));
}

// What a stopped Play leaves unchecked, as the summary opens with it; empty when it was all
// heard. Groups counted as the check counts them, from 1.
QString heardPartText(const HeardPart& heard)
{
    if (heard.everything())
        return {};
    if (heard.nothingHeard())
        return CheckCopyWindow::tr("Play was stopped before the first character sounded: there "
                                   "is nothing to check, and nothing is kept.");
    const int firstUnheard = heard.heardGroups + 1;
    const int last = heard.groupCount;
    if (heard.lastGroupWhole) {
        return firstUnheard == last
                   ? CheckCopyWindow::tr("Stopped after group %1: group %2 is not checked.")
                         .arg(heard.heardGroups)
                         .arg(last)
                   : CheckCopyWindow::tr("Stopped after group %1: groups %2-%3 are not checked.")
                         .arg(heard.heardGroups)
                         .arg(firstUnheard)
                         .arg(last);
    }
    if (firstUnheard > last)
        return CheckCopyWindow::tr("Stopped in group %1: the rest of it is not checked.")
            .arg(heard.heardGroups);
    return firstUnheard == last
               ? CheckCopyWindow::tr(
                     "Stopped in group %1: the rest of it and group %2 are not checked.")
                     .arg(heard.heardGroups)
                     .arg(last)
               : CheckCopyWindow::tr(
                     "Stopped in group %1: the rest of it and groups %2-%3 are not checked.")
                     .arg(heard.heardGroups)
                     .arg(firstUnheard)
                     .arg(last);
}

// The result in words, in the interface's language, for the summary line and a screen reader.
QString summaryText(const CopyScore& score)
{
    return QString::fromStdString(checkSummary(score, translatedWording()));
}

} // namespace

CheckCopyWindow::CheckCopyWindow(CheckHistory& history, HistoryErrorReporter reportError,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , m_history(history)
    , m_reportError(std::move(reportError))
{
    buildLayout();
    clearResult();
    updateCheckButton();
}

CheckCopyWindow::~CheckCopyWindow() = default;

void CheckCopyWindow::buildLayout()
{
    setWindowTitle(tr("Check copy"));
    setAccessibleName(tr("Check copy"));
    resize(620, 520);

    auto* copyLabel = new QLabel(tr("Your c&opy:"), this);
    m_copyEdit = new QPlainTextEdit(this);
    m_copyEdit->setTabChangesFocus(true);
    m_copyEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_copyEdit->setObjectName(QStringLiteral("copyEdit"));
    m_copyEdit->setAccessibleName(tr("Your copy"));
    m_copyEdit->setAccessibleDescription(
        tr("Type or paste what you copied; case and spacing do not count."));
    m_copyEdit->setToolTip(tr("What you copied"));
    copyLabel->setBuddy(m_copyEdit);

    m_hideBox = new QCheckBox(tr("&Hide while copying"), this);
    m_hideBox->setObjectName(QStringLiteral("hideBox"));
    m_hideBox->setAccessibleName(tr("Hide while copying"));
    m_hideBox->setToolTip(tr("Cover the exercise text until the copy is checked"));

    m_checkButton = new QPushButton(tr("&Check"), this);
    m_checkButton->setObjectName(QStringLiteral("checkButton"));
    m_checkButton->setAccessibleName(tr("Check"));
    m_checkButton->setToolTip(tr("Check the copy (Ctrl+Enter)"));
    m_checkButton->setDefault(true);

    // Labels that show a value keep their text as their accessible name, so that a screen
    // reader says "Accuracy: 83.3 %", not "Accuracy".
    m_statusLabel = new QLabel(this);
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));

    m_accuracyLabel = new QLabel(this);
    QFont big = m_accuracyLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_accuracyLabel->setFont(big);
    m_accuracyLabel->setObjectName(QStringLiteral("accuracyLabel"));

    m_countsLabel = new QLabel(this);
    m_countsLabel->setObjectName(QStringLiteral("countsLabel"));

    auto* alignedLabel = new QLabel(tr("&Sent and copied, group by group:"), this);
    m_alignedView = new QTextBrowser(this);
    m_alignedView->setObjectName(QStringLiteral("alignedView"));
    m_alignedView->setAccessibleName(tr("Sent and copied, group by group"));
    // The aligned rows are preformatted and never wrap; the sentences below them do.
    m_alignedView->setLineWrapMode(QTextEdit::WidgetWidth);
    m_alignedView->setTabChangesFocus(true);
    alignedLabel->setBuddy(m_alignedView);

    m_legendLabel = new QLabel(
        tr("Marks: * wrong, - missed, + extra, > moved; · where nothing was sent or typed."), this);
    m_legendLabel->setObjectName(QStringLiteral("legendLabel"));

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setWordWrap(true);
    m_summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
    m_summaryLabel->setFocusPolicy(Qt::StrongFocus);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));

    m_nextSetButton = new QPushButton(tr("&Next set"), this);
    m_nextSetButton->setObjectName(QStringLiteral("nextSetButton"));
    m_nextSetButton->setAccessibleName(tr("Next set"));
    m_nextSetButton->hide();

    m_keepButton = new QPushButton(tr("&Keep in history"), this);
    m_keepButton->setObjectName(QStringLiteral("keepButton"));
    m_keepButton->setToolTip(tr("Try again to keep the checks the history could not take"));
    m_keepButton->hide();
    m_retryTimer = new QTimer(this);
    m_retryTimer->setInterval(kRetryIntervalMs);

    m_closeButton = new QPushButton(tr("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setAccessibleName(tr("Close"));
    m_closeButton->setAutoDefault(false);

    auto* options = new QHBoxLayout;
    options->addWidget(m_hideBox);
    buildTypeAlong(*options);
    options->addStretch();
    options->addWidget(m_checkButton);
    // What type-along adds, on a row of its own so that the window stays narrow.
    auto* typing = new QHBoxLayout;
    typing->addWidget(m_checkAtEndBox);
    buildReactionButton(*typing);
    typing->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_nextSetButton);
    buttons->addWidget(m_keepButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(copyLabel);
    layout->addWidget(m_copyEdit, 2);
    layout->addLayout(options);
    layout->addLayout(typing);
    layout->addWidget(m_statusLabel);
    layout->addWidget(m_accuracyLabel);
    layout->addWidget(m_countsLabel);
    layout->addWidget(alignedLabel);
    layout->addWidget(m_alignedView, 3);
    layout->addWidget(m_legendLabel);
    // A long copy's result in words runs to many lines: it scrolls rather than grow the window
    // past the screen.
    auto* summaryArea = new QScrollArea(this);
    summaryArea->setWidget(m_summaryLabel);
    summaryArea->setWidgetResizable(true);
    summaryArea->setFrameShape(QFrame::NoFrame);
    summaryArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    summaryArea->setMaximumHeight(fontMetrics().lineSpacing() * 8);
    layout->addWidget(summaryArea);
    addAdviceLabel(*layout);
    layout->addLayout(buttons);

    setTabOrder(m_copyEdit, m_hideBox);
    setTabOrder(m_hideBox, m_typeAlongBox);
    setTabOrder(m_typeAlongBox, m_checkAtEndBox);
    setTabOrder(m_checkAtEndBox, m_reactionButton);
    setTabOrder(m_reactionButton, m_checkButton);
    setTabOrder(m_checkButton, m_alignedView);
    setTabOrder(m_alignedView, m_summaryLabel);
    setTabOrder(m_summaryLabel, m_nextSetButton);
    setTabOrder(m_nextSetButton, m_keepButton);
    setTabOrder(m_keepButton, m_closeButton);

    connect(m_checkButton, &QPushButton::clicked, this, &CheckCopyWindow::checkCopy);
    connect(m_keepButton, &QPushButton::clicked, this, [this] { keepUnkept(true); });
    connect(m_retryTimer, &QTimer::timeout, this, [this] { keepUnkept(false); });
    auto* checkKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(checkKey, &QShortcut::activated, this, [this] {
        if (m_checkButton->isEnabled())
            checkCopy();
    });
    auto* closeKey = new QShortcut(QKeySequence::Cancel, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_copyEdit, &QPlainTextEdit::textChanged, this, &CheckCopyWindow::updateCheckButton);
    connect(m_hideBox, &QCheckBox::toggled, this, &CheckCopyWindow::updateCover);
    connect(m_nextSetButton, &QPushButton::clicked, this, [this] {
        if (!m_offeredSet)
            return;
        const int index = *m_offeredSet;
        m_offeredSet.reset();
        m_nextSetButton->hide();
        Q_EMIT nextSetChosen(index);
    });
}

void CheckCopyWindow::setSentExercise(const SentExercise& sent)
{
    if (m_rules.checked())
        m_copyEdit->clear(); // that copy was checked and kept; this rendering needs a new one
    m_sent = sent;
    // Keystrokes typed for an earlier sound say nothing about this one.
    m_keystrokeClock.reset();
    std::fill(m_keyFrames.begin(), m_keyFrames.end(), std::nullopt);
    m_heardWhole = false;
    m_stoppedAt.reset();
    m_rules.newRendering();
    clearResult();
    updateCheckButton();
    updateCover();
}

void CheckCopyWindow::setHeardUntil(std::optional<std::int64_t> heardSample)
{
    if (!heardSample)
        m_heardWhole = true;
    else if (!m_stoppedAt || *heardSample > *m_stoppedAt)
        m_stoppedAt = heardSample;
    if (!m_rules.checked())
        showHeardPart();
}

HeardPart CheckCopyWindow::heardPart() const
{
    if (!m_sent)
        return {};
    if (m_heardWhole || !m_stoppedAt)
        return vortan::heardPart(m_sent->text, m_sent->text.size());
    return vortan::heardPart(*m_sent, *m_stoppedAt);
}

void CheckCopyWindow::showHeardPart()
{
    // Said before the copy is checked too, so the learner knows what will count.
    if (m_sent)
        m_statusLabel->setText(heardPartText(heardPart()));
}

void CheckCopyWindow::showCheck()
{
    show();
    raise();
    activateWindow();
    m_copyEdit->setFocus();
}

bool CheckCopyWindow::hideWhileCopying() const
{
    return m_hideBox->isChecked();
}

void CheckCopyWindow::setHideWhileCopying(bool on)
{
    m_hideBox->setChecked(on);
}

void CheckCopyWindow::updateCover()
{
    const bool covered = m_hideBox->isChecked() && isVisible() && !m_rules.checked();
    if (covered == m_textCovered)
        return;
    m_textCovered = covered;
    Q_EMIT textCoverChanged(covered);
}

void CheckCopyWindow::updateCheckButton()
{
    const bool hasCopy = !m_copyEdit->toPlainText().trimmed().isEmpty();
    m_checkButton->setEnabled(m_sent.has_value() && hasCopy);
    if (!m_sent) {
        m_statusLabel->setText(tr(
            "Nothing has been sent yet: Play or Save WAV sends the text that the copy is checked "
            "against."));
    }
}

void CheckCopyWindow::clearResult()
{
    m_lastCheck.reset();
    m_offeredSet.reset();
    m_nextSetButton->hide();
    m_statusLabel->clear();
    m_accuracyLabel->setText(tr("Accuracy: -"));
    m_countsLabel->clear();
    m_alignedView->clear();
    m_alignedView->setAccessibleDescription(QString());
    m_summaryLabel->clear();
    m_legendLabel->setVisible(false);
    m_adviceLabel->clear();
}

void CheckCopyWindow::checkCopy()
{
    if (!m_sent)
        return;
    const HeardPart heard = heardPart();
    if (heard.nothingHeard() && heard.groupCount > 0) {
        clearResult();
        m_statusLabel->setText(heardPartText(heard));
        m_summaryLabel->setText(heardPartText(heard));
        announceResult();
        return;
    }
    // Only what was heard is checked, and kept: the sent text stops where the sound did.
    SentExercise heardSent = *m_sent;
    heardSent.text = heard.text;
    try {
        m_lastCheck = vortan::checkCopy(heardSent, copyBytes(m_copyEdit->toPlainText()),
                                        QDateTime::currentMSecsSinceEpoch());
    } catch (const Error& error) {
        m_reportError(error.what());
        return;
    }
    if (typeAlong())
        m_lastCheck->recognition =
            recognitionTimes(m_lastCheck->score, heardSent.text, m_lastCheck->copy,
                             characterSounds(*m_sent), copyKeystrokeFrames(), m_reactionMs);
    const CheckKeeping keeping = m_rules.check(m_lastCheck->score, !m_unkept.empty());
    showResult();
    updateCover();

    switch (keeping) {
    case CheckKeeping::NothingToKeep:
        m_statusLabel->setText(tr("The text sent has nothing to check, so the check "
                                  "is not kept."));
        break;
    case CheckKeeping::CheckedAgain:
        m_statusLabel->setText(tr("Checked again: only the first check of a text "
                                  "sent is kept in the history."));
        if (!m_unkept.empty())
            keepUnkept(false); // the first one may go in now
        break;
    case CheckKeeping::KeepNow:
        if (keep(*m_lastCheck)) {
            m_statusLabel->setText(tr("Kept in the history."));
            showWhatFollows(*m_lastCheck);
            break;
        }
        // keep() has just said why; the check waits for the history (another program may
        // hold it).
        m_unkept.push_back(*m_lastCheck);
        showUnkeptStatus();
        break;
    case CheckKeeping::KeepAfterUnkept:
        m_unkept.push_back(*m_lastCheck); // kept later, in order
        keepUnkept(false);
        break;
    }
    announceResult();
    Q_EMIT checked();
}

void CheckCopyWindow::keepUnkept(bool reportFailure)
{
    while (!m_unkept.empty()) {
        try {
            m_history.addCheck(m_unkept.front());
        } catch (const Error& error) {
            if (reportFailure)
                m_reportError(error.what());
            showUnkeptStatus();
            return;
        }
        const bool current = m_lastCheck &&
                             m_unkept.front().checkedAtMs == m_lastCheck->checkedAtMs &&
                             m_unkept.front().sent == m_lastCheck->sent;
        m_unkept.erase(m_unkept.begin());
        if (current)
            offerNextSet(*m_lastCheck);
    }
    m_retryTimer->stop();
    m_keepButton->hide();
    m_statusLabel->setText(tr("Kept in the history now."));
}

void CheckCopyWindow::showUnkeptStatus()
{
    m_statusLabel->setText(
        tr("Not kept yet: the history could not be written. Vortan tries again every %n "
           "seconds until it can; Keep in history tries now.",
           nullptr, kRetryIntervalMs / 1000));
    m_keepButton->show();
    if (!m_retryTimer->isActive())
        m_retryTimer->start();
}

bool CheckCopyWindow::keep(const CopyCheck& check)
{
    try {
        m_history.addCheck(check);
        return true;
    } catch (const Error& error) {
        m_reportError(error.what());
        return false;
    }
}

void CheckCopyWindow::offerNextSet(const CopyCheck& check)
{
    const std::optional<std::string_view> asked =
        CheckRules::nextSetCharacters(check.sent.characterSet);
    if (!asked)
        return;
    try {
        NextSetFigures figures{m_history.advanceThresholdPercent(),
                               m_history.recentAccuracy(*asked), m_history.advanceTargetMs()};
        if (figures.targetMs)
            figures.recognition = m_history.recentRecognition();
        showOffer(CheckRules::nextSet(check, figures));
    } catch (const Error&) {
        // the check was kept, so the history works; no offer without its figures
    }
}

void CheckCopyWindow::showOffer(const std::optional<NextSetChoice>& offer)
{
    if (!offer)
        return;
    m_offeredSet = static_cast<int>(offer->entryIndex);
    const QString next = unicode(offer->characterSet);
    m_nextSetButton->setText(tr("&Next set: %1 (adds %2)").arg(next, unicode(offer->added)));
    m_nextSetButton->setAccessibleDescription(tr("Take the next character set, %1").arg(next));
    m_nextSetButton->setToolTip(tr("You have earned the next set"));
    m_nextSetButton->show();
}

void CheckCopyWindow::addAdviceLabel(QVBoxLayout& layout)
{
    // What to practise after this check; its text is its accessible name.
    m_adviceLabel = new QLabel(this);
    m_adviceLabel->setObjectName(QStringLiteral("adviceLabel"));
    m_adviceLabel->setWordWrap(true);
    m_adviceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout.addWidget(m_adviceLabel);
}

void CheckCopyWindow::showWhatFollows(const CopyCheck& check)
{
    // The offer and the advice weigh the same figures: the history is read once for both.
    try {
        const PracticeFigures figures =
            practiceFiguresFor(m_history, check.sent.characterSet, localDay(check.checkedAtMs));
        showOffer(CheckRules::nextSet(check, {figures.thresholdPercent, figures.recent,
                                              figures.targetMs, figures.recognition}));
        m_adviceLabel->setText(ProgressWindow::adviceText(figures));
    } catch (const Error&) {
        m_adviceLabel->clear(); // the check was kept; advice is not worth a second error box
    }
}

void CheckCopyWindow::showResult()
{
    const CopyScore& score = m_lastCheck->score;
    m_accuracyLabel->setText(
        tr("Accuracy: %1 %").arg(QString::fromStdString(accuracyText(score, translatedWording()))));
    m_countsLabel->setText(tr("Right %1 of %2 · Errors %3: wrong %4, missed %5, extra %6")
                               .arg(score.correct)
                               .arg(score.sentCount)
                               .arg(score.errors())
                               .arg(score.wrong)
                               .arg(score.missed)
                               .arg(score.extra));
    QString summary = summaryText(score);
    if (const QString unheard = heardPartText(heardPart()); !unheard.isEmpty())
        summary = unheard + u' ' + summary;
    QString aligned = alignedCopyHtml(
        score, ErrorColours::forBackground(m_alignedView->palette().base().color()));
    if (!m_lastCheck->recognition.empty()) {
        const QString recognition = recognitionText();
        summary += u' ' + recognition;
        aligned += QStringLiteral("<p>%1</p>").arg(recognition.toHtmlEscaped());
    }
    m_alignedView->setHtml(aligned);
    m_alignedView->setAccessibleDescription(summary);
    m_summaryLabel->setText(summary);
    m_legendLabel->setVisible(true);
}

void CheckCopyWindow::announceResult()
{
    // The summary reads the accuracy, the counts and the errors: a screen reader says it as
    // the focus arrives.
    m_summaryLabel->setFocus(Qt::OtherFocusReason);
}

void CheckCopyWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    updateCover();
    updateClockPolling();
}

void CheckCopyWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    updateCover();
    updateClockPolling();
}

void CheckCopyWindow::buildTypeAlong(QHBoxLayout& options)
{
    m_typeAlongBox = new QCheckBox(tr("&Type along while it plays"), this);
    m_typeAlongBox->setObjectName(QStringLiteral("typeAlongBox"));
    m_typeAlongBox->setAccessibleName(tr("Type along while it plays"));
    m_typeAlongBox->setToolTip(
        tr("Type each character as you recognise it while the sound plays: the check gives how "
           "long after its sound ended you typed it"));
    options.addWidget(m_typeAlongBox);

    // The player's frame is read now and then while a sound may play, so that the keystroke
    // clock can run on after the sound has played out.
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(20);
    connect(m_clockTimer, &QTimer::timeout, this, &CheckCopyWindow::followSound);

    m_checkAtEndBox = new QCheckBox(tr("Check &when the sound ends"), this);
    m_checkAtEndBox->setObjectName(QStringLiteral("checkAtEndBox"));
    m_checkAtEndBox->setAccessibleName(tr("Check when the sound ends"));
    m_checkAtEndBox->setToolTip(
        tr("Typing along, check the copy once the sound has ended and you have stopped typing"));
    m_checkAtEndBox->setEnabled(false);
    m_endCheckTimer = new QTimer(this);
    m_endCheckTimer->setSingleShot(true);
    m_endCheckTimer->setInterval(kCheckAfterEndMs);
    connect(m_endCheckTimer, &QTimer::timeout, this, [this] {
        if (typeAlong() && checkWhenSoundEnds() && !m_rules.checked() && m_checkButton->isEnabled())
            checkCopy();
    });
    connect(m_typeAlongBox, &QCheckBox::toggled, m_checkAtEndBox, &QWidget::setEnabled);
    connect(m_typeAlongBox, &QCheckBox::toggled, this, &CheckCopyWindow::updateClockPolling);
    connect(m_copyEdit->document(), &QTextDocument::contentsChange, this,
            &CheckCopyWindow::recordKeystrokes);
}

void CheckCopyWindow::setHeardClock(HeardClock clock)
{
    m_heardClock = std::move(clock);
    m_keystrokeClock.reset();
    updateClockPolling();
}

bool CheckCopyWindow::typeAlong() const
{
    return m_typeAlongBox->isChecked();
}

void CheckCopyWindow::setTypeAlong(bool on)
{
    m_typeAlongBox->setChecked(on);
}

void CheckCopyWindow::followSound()
{
    if (!m_heardClock)
        return;
    const std::optional<std::int64_t> told = m_heardClock();
    m_keystrokeClock.frameNow(told);
    if (m_lastTold && !told && checkWhenSoundEnds())
        m_endCheckTimer->start(); // the sound has ended; the last group is still being typed
    m_lastTold = told;
}

bool CheckCopyWindow::checkWhenSoundEnds() const
{
    return m_checkAtEndBox->isChecked();
}

void CheckCopyWindow::setCheckWhenSoundEnds(bool on)
{
    m_checkAtEndBox->setChecked(on);
}

void CheckCopyWindow::updateClockPolling()
{
    if (typeAlong() && isVisible() && m_heardClock)
        m_clockTimer->start();
    else
        m_clockTimer->stop();
}

void CheckCopyWindow::recordKeystrokes(int position, int removed, int added)
{
    const auto length = static_cast<std::size_t>(m_copyEdit->document()->characterCount() - 1);
    const auto at = static_cast<std::size_t>(position);
    const auto gone = static_cast<std::size_t>(removed);
    if (position < 0 || removed < 0 || added < 0 || at + gone > m_keyFrames.size() ||
        m_keyFrames.size() - gone + static_cast<std::size_t>(added) != length) {
        // A change the document reports loosely (the whole text replaced): nothing typed keeps
        // a time.
        m_keyFrames.assign(length, std::nullopt);
        return;
    }
    if (m_endCheckTimer->isActive())
        m_endCheckTimer->start(); // still typing the end
    // One character is a keystroke; more at once were pasted or dropped, not typed.
    std::optional<std::int64_t> frame;
    if (typeAlong() && m_heardClock && added == 1)
        frame = m_keystrokeClock.frameNow(m_heardClock());
    const auto first = m_keyFrames.begin() + position;
    m_keyFrames.erase(first, first + removed);
    m_keyFrames.insert(m_keyFrames.begin() + position, static_cast<std::size_t>(added), frame);
}

KeystrokeFrames CheckCopyWindow::copyKeystrokeFrames() const
{
    // One frame per byte of copyBytes(): a character outside the code page is one byte there.
    const QString copy = m_copyEdit->toPlainText();
    KeystrokeFrames frames;
    frames.reserve(m_keyFrames.size());
    for (qsizetype i = 0; i < copy.size(); ++i) {
        if (copy[i].isHighSurrogate() && i + 1 < copy.size() && copy[i + 1].isLowSurrogate())
            ++i;
        frames.push_back(static_cast<std::size_t>(i) < m_keyFrames.size()
                             ? m_keyFrames[static_cast<std::size_t>(i)]
                             : std::nullopt);
    }
    return frames;
}

const std::vector<std::optional<RecognitionTime>>& CheckCopyWindow::lastRecognitionTimes() const
{
    static const std::vector<std::optional<RecognitionTime>> none;
    return m_lastCheck ? m_lastCheck->recognition : none;
}

QString CheckCopyWindow::recognitionText() const
{
    const std::vector<std::optional<RecognitionTime>>& recognition = m_lastCheck->recognition;
    const std::optional<int> median = medianRecognitionMs(recognition);
    if (!median)
        return tr("No character copied right was typed while the sound played, so none is "
                  "timed.");
    std::vector<ScoredCharacter> timed;
    std::vector<RecognitionTime> times;
    const std::vector<ScoredCharacter>& characters = m_lastCheck->score.characters;
    for (std::size_t c = 0; c < characters.size() && c < recognition.size(); ++c) {
        if (recognition[c]) {
            timed.push_back(characters[c]);
            times.push_back(*recognition[c]);
        }
    }
    QString text = tr("Recognition time: median %1 ms over %n characters.", nullptr,
                      static_cast<int>(timed.size()))
                       .arg(*median);
    text += u' ' + (m_reactionMs > 0
                        ? tr("Your reaction time of %1 ms, as measured, is taken off each of "
                             "these times.")
                              .arg(m_reactionMs)
                        : tr("These times include your own time to press a key."));
    std::size_t next = 0;
    text += QString::fromStdString(
        groupedItems(timed, translatedWording(), [&times, &next](const ScoredCharacter& c) {
            const RecognitionTime& time = times[next++];
            const QString sent = character(c.sent);
            return (time.anticipated ? tr("%1 typed before it ended").arg(sent)
                                     : tr("%1 %2 ms").arg(sent).arg(time.milliseconds))
                .toStdString();
        }));
    return text;
}

void CheckCopyWindow::buildReactionButton(QHBoxLayout& options)
{
    m_reactionButton = new QPushButton(tr("&Measure my reaction time..."), this);
    m_reactionButton->setObjectName(QStringLiteral("reactionButton"));
    m_reactionButton->setAutoDefault(false);
    m_reactionButton->setToolTip(tr("Press a key at each of %n beeps: your usual time to press "
                                    "a key is then taken off the recognition times",
                                    nullptr, kReactionBeeps));
    m_reactionButton->setVisible(false);
    options.addWidget(m_reactionButton);
    connect(m_reactionButton, &QPushButton::clicked, this, &CheckCopyWindow::measureReactionTime);
}

void CheckCopyWindow::setReactionSound(
    std::function<void(const std::vector<std::uint8_t>& wav)> play, std::function<void()> stop)
{
    m_playBeeps = std::move(play);
    m_stopBeeps = std::move(stop);
    m_reactionButton->setVisible(m_playBeeps != nullptr);
}

void CheckCopyWindow::setReactionMs(int milliseconds)
{
    m_reactionMs = milliseconds;
}

void CheckCopyWindow::measureReactionTime()
{
    if (!m_playBeeps || !m_heardClock)
        return;
    ReactionTimeDialog dialog({m_playBeeps, m_stopBeeps, m_heardClock}, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.medianMs())
        return;
    m_reactionMs = *dialog.medianMs();
    Q_EMIT reactionMeasured(m_reactionMs);
}

void CheckCopyWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_lastCheck)
        showResult(); // the error colours follow a change between light and dark
}

} // namespace vortan
