// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortan {

class CheckCopyWindow;
class OptionsWindow;
class ProgressWindow;
class SettingsModel;
class TForm1;

// What the windows tell each other: the main window's buttons open the others; a rendering goes
// to the check; the check covers the text and offers the next set; the progress view follows
// the character set and offers a drill set.
void connectWindows(TForm1& form1, const SettingsModel& settings, OptionsWindow& optionsWindow,
                    CheckCopyWindow& checkWindow, ProgressWindow& progressWindow);

} // namespace vortan
