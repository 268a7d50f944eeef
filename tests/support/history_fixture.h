// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/check_history.h"
#include "history/history_store.h"

#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>

namespace vortan::test {

// A history in a folder of its own, for the windows that show it; the errors those windows
// report are recorded.
struct HistoryFixture {
    QTemporaryDir folder;
    std::filesystem::path file{folder.filePath(QStringLiteral("history.sqlite")).toStdString()};
    HistoryStore history{file};
    QStringList errors;
    HistoryErrorReporter reportError = [this](std::string_view message) {
        errors << QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    };
};

} // namespace vortan::test
