// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vortan {

// What the program prints and returns instead of opening its window.
struct CommandLineExit {
    int status = 0; // 0 for --help and --version, 2 for a wrong command line
    QString standardOutput;
    QString standardError;
};

// Reads the arguments (the program's name first). Answers --help and --version, and refuses
// anything the program does not take; nullopt means: open the window. Qt's own options for
// windowed programs (-platform, -style, -session and the like) pass. Needs no display, only a
// QCoreApplication for the program's name in the help.
std::optional<CommandLineExit> answerCommandLine(const QStringList& arguments);

} // namespace vortan
