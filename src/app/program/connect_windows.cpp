// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program/connect_windows.h"

#include "app/check/check_copy_window.h"
#include "app/options/options_window.h"
#include "app/progress/progress_window.h"
#include "app/settings_model.h"
#include "app/vortan1.h"

namespace vortan {

void connectWindows(vortan::TForm1& form1, const vortan::SettingsModel& settings,
                    vortan::OptionsWindow& optionsWindow, vortan::CheckCopyWindow& checkWindow,
                    vortan::ProgressWindow& progressWindow)
{
    QObject::connect(&form1, &TForm1::optionsRequested, &optionsWindow,
                     &OptionsWindow::showOptions);
    QObject::connect(&form1, &TForm1::checkCopyRequested, &checkWindow,
                     &CheckCopyWindow::showCheck);
    QObject::connect(&form1, &TForm1::progressRequested, &progressWindow,
                     &ProgressWindow::showProgress);
    // Soft keying changes the sound: the next Play renders anew.
    QObject::connect(&optionsWindow, &OptionsWindow::softKeyingChanged, &form1,
                     &TForm1::setModifiedMark);
    QObject::connect(&form1, &TForm1::exerciseRendered, &checkWindow,
                     &CheckCopyWindow::setSentExercise);
    QObject::connect(&checkWindow, &CheckCopyWindow::textCoverChanged, &form1,
                     &TForm1::setTextCovered);
    QObject::connect(&checkWindow, &CheckCopyWindow::nextSetChosen, &form1,
                     &TForm1::pickCharacterSet);
    QObject::connect(&checkWindow, &CheckCopyWindow::checked, &progressWindow,
                     &ProgressWindow::refresh);
    QObject::connect(&progressWindow, &ProgressWindow::drillSetChosen, &form1,
                     &TForm1::setCharacterSetText);
    const auto followCharacterSet = [&settings, &progressWindow] {
        progressWindow.setCurrentCharacterSet(settings.current().chars);
    };
    QObject::connect(&settings, &SettingsModel::charsChanged, &progressWindow, followCharacterSet);
    QObject::connect(&settings, &SettingsModel::presetChanged, &progressWindow, followCharacterSet);
    followCharacterSet();
}

} // namespace vortan
