// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/check_history.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vortan {

class CheckCopyWindow;
class OptionsStore;
class OptionsWindow;
class ProgressWindow;
class SettingsModel;
class TForm1;

// The windows beside the main one and what they tell each other. Each is made when first asked
// for, so that the start pays for none of them. The main window's buttons open them; a rendering
// goes to the check, which covers the text and offers the next set; the progress view follows
// the character set and offers a drill set; both sets go into the settings model, which the main
// window follows; a soft-keying change marks the text for rendering.
class ProgramWindows : public QObject {
public:
    // All of these must outlive the windows.
    ProgramWindows(TForm1& form1, SettingsModel& settings, OptionsStore& options,
                   CheckHistory& history, HistoryErrorReporter reportHistoryError);
    ~ProgramWindows() override;

    OptionsWindow& optionsWindow();
    CheckCopyWindow& checkWindow();
    ProgressWindow& progressWindow();

private:
    void followCharacterSet();

    TForm1& m_form1;
    SettingsModel& m_settings;
    OptionsStore& m_options;
    CheckHistory& m_history;
    HistoryErrorReporter m_reportHistoryError;
    std::unique_ptr<OptionsWindow> m_optionsWindow;
    std::unique_ptr<CheckCopyWindow> m_checkWindow;
    // How far the Plays of the last rendering were heard, for a check window made later.
    std::vector<std::optional<std::int64_t>> m_heardReports;
    std::unique_ptr<ProgressWindow> m_progressWindow;
};

} // namespace vortan
