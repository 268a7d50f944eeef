#pragma once

#include <stdexcept>
#include <string>

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

    int errorNumber() const noexcept { return m_errorNumber; }

    // The message shown for an error number.
    static std::string messageFor(int errorNumber);

private:
    int m_errorNumber;
};

} // namespace vortan
