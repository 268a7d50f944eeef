// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/check_history.h"

#include <QString>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace vortan {

struct HistoryStoreOptions {
    // How long a write waits for another program that holds the file (another Vortan).
    std::chrono::milliseconds busyTimeout{2000};
    // Caps the file at this many pages, as a full disk would; 0: no cap. For tests.
    int maxPageCount = 0;
};

// The history of checks in an SQLite file (Qt SQL). Nothing is read at construction: the file
// is opened, made or brought to the current schema at its first use, so a long history costs
// the program's start nothing. A file that cannot be used is left exactly as it is.
class HistoryStore final : public CheckHistory {
public:
    explicit HistoryStore(std::filesystem::path file, HistoryStoreOptions options = {});
    ~HistoryStore() override;
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // $XDG_DATA_HOME/vortan/history.sqlite (~/.local/share/vortan/history.sqlite).
    static std::filesystem::path defaultFile();

    // The schema version this program writes (PRAGMA user_version).
    static constexpr int kSchemaVersion = 7;

    const std::filesystem::path& file() const { return m_file; }

    // How many checks are kept.
    std::int64_t checkCount();

    void addCheck(const CopyCheck& check) override;
    ProgressData progress(const ProgressFilter& filter) override;
    ConditionsAccuracy accuracyByConditions(const ProgressFilter& filter) override;
    RecentAccuracy recentAccuracy(std::string_view characters) override;
    RecentRecognition recentRecognition() override;
    std::vector<RecognitionPoint> recognitionOverTime(const ProgressFilter& filter) override;
    std::vector<std::string> characterSets() override;
    int advanceThresholdPercent() override;
    void setAdvanceThresholdPercent(int percent) override;
    std::optional<int> advanceTargetMs() override;
    void setAdvanceTargetMs(std::optional<int> milliseconds) override;
    std::vector<ReviewState> reviewStates(int thresholdPercent) override;
    void exportCsv(const std::filesystem::path& checksFile,
                   const std::filesystem::path& outcomesFile) override;
    void exportCopy(const std::filesystem::path& file) override;
    std::int64_t importHistory(const std::filesystem::path& file) override;

private:
    class Connection;
    Connection& connection();
    // Runs a read on the open file; a failure becomes "Cannot read the history file ...".
    template <typename Read> auto reading(Read read);
    // A number of the options table within its range; none when absent or out of it.
    std::optional<int> option(const QString& name, int minimum, int maximum);
    // Sets an option, or removes it (none).
    void setOption(const QString& name, std::optional<int> value);

    std::filesystem::path m_file;
    HistoryStoreOptions m_options;
    std::unique_ptr<Connection> m_connection;
};

} // namespace vortan
