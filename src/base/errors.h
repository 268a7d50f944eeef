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

// "Unable to write to <file>: <reason>": a file that could not be written and why.
Error unableToWrite(std::string_view file, std::string_view reason);

// "<subject> must lie between <minimum> and <maximum>, not <value>": a value outside its range.
// The subject opens the sentence ("The setting speed"); the bounds and the value are shown as
// given, so that the user sees what was typed.
Error outOfRange(std::string_view subject, std::string_view minimum, std::string_view maximum,
                 std::string_view value);
Error outOfRange(std::string_view subject, long long minimum, long long maximum, long long value);

} // namespace vortan
