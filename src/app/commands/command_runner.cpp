// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands/command_runner.h"

#include "app/commands/error_box.h"
#include "files/stop_request.h"

#include <QApplication>

#include <exception>

namespace vortan {

CommandRunner::CommandRunner()
    : CommandRunner([](const QString& text) { showErrorBox(QApplication::activeWindow(), text); })
{
}

CommandRunner::CommandRunner(ErrorReporter reporter)
    : m_report(std::move(reporter))
{
}

bool CommandRunner::run(const std::function<void()>& command) const
{
    try {
        command();
        return true;
    } catch (const StopRequested&) {
        // The program is ending; the termination signal's handler takes it from here.
    } catch (const std::exception& error) {
        m_report(errorBoxText(error.what()));
    } catch (...) {
        m_report(errorBoxText("Unexpected error"));
    }
    return false;
}

} // namespace vortan
