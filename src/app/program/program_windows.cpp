// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program/program_windows.h"

#include "app/check/check_copy_window.h"
#include "app/options/options_window.h"
#include "app/progress/progress_window.h"
#include "app/settings_model.h"
#include "app/vortan1.h"
#include "desktop/windows1250.h"
#include "settings/character_sets.h"
#include "settings/options_store.h"

namespace vortan {

ProgramWindows::ProgramWindows(TForm1& form1, SettingsModel& settings, OptionsStore& options,
                               CheckHistory& history, HistoryErrorReporter reportHistoryError)
    : m_form1(form1)
    , m_settings(settings)
    , m_options(options)
    , m_history(history)
    , m_reportHistoryError(std::move(reportHistoryError))
{
    connect(&form1, &TForm1::optionsRequested, this, [this] { optionsWindow().showOptions(); });
    connect(&form1, &TForm1::checkCopyRequested, this, [this] { checkWindow().showCheck(); });
    connect(&form1, &TForm1::progressRequested, this, [this] { progressWindow().showProgress(); });
    // A check window made later takes the last rendering when it is made.
    connect(&form1, &TForm1::exerciseRendered, this, [this](const SentExercise& exercise) {
        m_heardReports.clear();
        if (m_checkWindow)
            m_checkWindow->setSentExercise(exercise);
    });
    connect(&form1, &TForm1::playHeard, this, [this](std::optional<std::int64_t> heardSample) {
        m_heardReports.push_back(heardSample);
        if (m_checkWindow)
            m_checkWindow->setHeardUntil(heardSample);
    });
    connect(&settings, &SettingsModel::charsChanged, this, &ProgramWindows::followCharacterSet);
    connect(&settings, &SettingsModel::presetChanged, this, &ProgramWindows::followCharacterSet);
}

ProgramWindows::~ProgramWindows() = default;

OptionsWindow& ProgramWindows::optionsWindow()
{
    if (!m_optionsWindow) {
        m_optionsWindow = std::make_unique<OptionsWindow>(m_options);
        // Soft keying changes the sound: the next Play renders anew.
        connect(m_optionsWindow.get(), &OptionsWindow::softKeyingChanged, &m_form1,
                &TForm1::setModifiedMark);
        connect(m_optionsWindow.get(), &OptionsWindow::bandConditionsChanged, &m_form1,
                &TForm1::setModifiedMark);
    }
    return *m_optionsWindow;
}

CheckCopyWindow& ProgramWindows::checkWindow()
{
    if (!m_checkWindow) {
        m_checkWindow = std::make_unique<CheckCopyWindow>(m_history, m_reportHistoryError);
        m_checkWindow->setHeardClock([this] { return m_form1.heardFrame(); });
        m_checkWindow->setReactionSound(
            [this](const std::vector<std::uint8_t>& wav) { m_form1.playOtherSound(wav); },
            [this] { m_form1.SpeedButton2Click(); });
        m_checkWindow->setReactionMs(m_options.value(OptionId::Reaction));
        connect(m_checkWindow.get(), &CheckCopyWindow::reactionMeasured, this,
                [this](int milliseconds) { m_options.setValue(OptionId::Reaction, milliseconds); });
        if (const auto& sent = m_form1.lastSentExercise())
            m_checkWindow->setSentExercise(*sent);
        for (const std::optional<std::int64_t>& heardSample : m_heardReports)
            m_checkWindow->setHeardUntil(heardSample);
        connect(m_checkWindow.get(), &CheckCopyWindow::textCoverChanged, &m_form1,
                &TForm1::setTextCovered);
        connect(m_checkWindow.get(), &CheckCopyWindow::nextSetChosen, this, [this](int entryIndex) {
            m_settings.setChars(
                std::string(kCharacterSets.at(static_cast<std::size_t>(entryIndex))));
        });
        connect(m_checkWindow.get(), &CheckCopyWindow::checked, this, [this] {
            if (m_progressWindow)
                m_progressWindow->refresh();
        });
    }
    return *m_checkWindow;
}

ProgressWindow& ProgramWindows::progressWindow()
{
    if (!m_progressWindow) {
        m_progressWindow = std::make_unique<ProgressWindow>(m_history, m_reportHistoryError);
        m_progressWindow->setCurrentCharacterSet(m_settings.current().chars);
        connect(m_progressWindow.get(), &ProgressWindow::drillSetChosen, this,
                [this](const QString& characterSet) {
                    m_settings.setChars(windows1250::fromUnicode(characterSet));
                });
    }
    return *m_progressWindow;
}

void ProgramWindows::followCharacterSet()
{
    if (m_progressWindow)
        m_progressWindow->setCurrentCharacterSet(m_settings.current().chars);
}

} // namespace vortan
