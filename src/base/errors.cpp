// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"

#include <utility>

namespace vortan {

IoError::IoError(int errorNumber)
    : Error(messageFor(errorNumber))
    , m_errorNumber(errorNumber)
{
}

IoError::IoError(int errorNumber, std::string message)
    : Error(std::move(message))
    , m_errorNumber(errorNumber)
{
}

IoError::IoError(int errorNumber, std::string_view concerning, std::string_view reason)
    : IoError(errorNumber, messageFor(errorNumber), concerning, reason)
{
}

IoError::IoError(int errorNumber, std::string_view sentence, std::string_view concerning,
                 std::string_view reason)
    : Error(std::string(sentence) + ": " + std::string(concerning) + ": " + std::string(reason))
    , m_errorNumber(errorNumber)
    , m_reason(reason)
{
}

std::string IoError::messageFor(int errorNumber)
{
    switch (errorNumber) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 101:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

Error unableToWrite(std::string_view file, std::string_view reason)
{
    return Error("Unable to write to " + std::string(file) + ": " + std::string(reason));
}

Error outOfRange(std::string_view subject, std::string_view minimum, std::string_view maximum,
                 std::string_view value)
{
    return Error(std::string(subject) + " must lie between " + std::string(minimum) + " and " +
                 std::string(maximum) + ", not " + std::string(value));
}

Error outOfRange(std::string_view subject, long long minimum, long long maximum, long long value)
{
    return outOfRange(subject, std::to_string(minimum), std::to_string(maximum),
                      std::to_string(value));
}

} // namespace vortan
