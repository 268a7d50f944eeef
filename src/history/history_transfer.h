// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Carrying a history between machines: the CSV files it is exported as, and reading the checks
// of another history (its database file or its checks CSV) for a merge.

#include "scoring/copy_check.h"

#include <QSqlDatabase>

#include <filesystem>
#include <vector>

namespace vortan {

// Writes every check (oldest first) to `checksFile` and every scored character of them to
// `outcomesFile`, UTF-8 with a header line; each file whole or not at all. The columns are in
// the README. Throws SqlFailure for the history, vortan::Error for the files.
void writeHistoryCsv(QSqlDatabase& history, const std::filesystem::path& checksFile,
                     const std::filesystem::path& outcomesFile);

// The checks of another history: a Vortan history file, or a checks CSV as writeHistoryCsv()
// makes it, each scored again by this program. Throws vortan::Error with the reason when the
// file is damaged or is neither; nothing is read in part.
std::vector<CopyCheck> readHistoryToImport(const std::filesystem::path& file, int newestSchema);

} // namespace vortan
