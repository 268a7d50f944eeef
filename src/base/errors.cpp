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

} // namespace vortan
