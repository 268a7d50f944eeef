// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace vortan {

// Shows one error message to the user. The standard error box unless replaced; tests put a
// recorder in its stead so that no modal box blocks them.
using ErrorReporter = std::function<void(const QString& message)>;

// Runs the commands of every window. An exception ends the command where it was raised, and its
// message, with the error box's full-stop rule applied, goes to the reporter: the one place where
// an error reaches the user. main() makes one and lends it to every window.
class CommandRunner {
public:
    // Errors go to the standard error box ("Vortan", stop icon, OK) over the active window.
    CommandRunner();
    // Errors go to the given reporter instead.
    explicit CommandRunner(ErrorReporter reporter);

    // Runs one command. Returns whether it ran to its end; never throws.
    bool run(const std::function<void()>& command) const;

    // A callable that runs (window->*handler)() as a command, for connect().
    template <class Window> auto command(Window* window, void (Window::*handler)()) const
    {
        return [this, window, handler] { run([window, handler] { (window->*handler)(); }); };
    }

private:
    ErrorReporter m_report;
};

} // namespace vortan
