// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vortan {

// The one exception family of the program. Its message is what the user is shown, word for
// word; the window adds the title and the closing full stop.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the operating system while creating or writing a file, carrying the program's
// error number: 2 "File not found", 3 "Invalid filename", 4 "Too many open files",
// 5 "File access denied", 101 "Disk full", anything else "I/O error %d".
class IoError : public Error {
public:
    explicit IoError(int errorNumber);
    // For an operating-system failure outside the table whose number happens to equal one of
    // the table's (EIO is 5): the number with its own message.
    IoError(int errorNumber, std::string message);
    // The number's message, then the file or folder it concerns and the system's reason, so
    // that the user can tell what to fix: "Disk full: /run/user/1000/vortan: No space left on
    // device".
    IoError(int errorNumber, std::string_view concerning, std::string_view reason);
    // As above with a sentence of its own in place of the number's (see the second form).
    IoError(int errorNumber, std::string_view sentence, std::string_view concerning,
            std::string_view reason);

    int errorNumber() const noexcept { return m_errorNumber; }
    // The system's reason alone; empty when the message has none.
    const std::string& reason() const noexcept { return m_reason; }

    // The message shown for an error number.
    static std::string messageFor(int errorNumber);

private:
    int m_errorNumber;
    std::string m_reason;
};

} // namespace vortan
