// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_check.h"
#include "scoring/progress_statistics.h"
#include "scoring/recognition_statistics.h"
#include "scoring/review_schedule.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// Shows a failure to the user (a history that cannot be used, a copy too long to check): the
// message of the vortan::Error (UTF-8), which the main window passes on to its error box. The
// window that hit it carries on.
using HistoryErrorReporter = std::function<void(std::string_view message)>;

// Which checks the progress figures take.
struct ProgressFilter {
    // Whole calendar days in local time, days since 1970-01-01: from this day on, before that.
    std::optional<std::int64_t> fromDay{};
    std::optional<std::int64_t> untilDay{};
    std::optional<std::string> characterSet{}; // only checks on this set (windows-1250)
};

// Accuracy over the checks a filter lets through, those sent with band conditions apart.
struct ConditionsAccuracy {
    struct Part {
        std::int64_t checks = 0;
        std::int64_t sent = 0;    // characters sent
        std::int64_t correct = 0; // of them copied right
        bool operator==(const Part&) const = default;
    };
    Part plain;       // sent with no band condition
    Part conditioned; // sent with fading, other stations, static or chirp

    bool operator==(const ConditionsAccuracy&) const = default;
};

// Where checks are kept. The windows receive this interface; main() owns the store behind it.
// Every function throws vortan::Error with a message that names the file and the reason.
class CheckHistory {
public:
    virtual ~CheckHistory() = default;

    // Keeps one check, all of it or nothing.
    virtual void addCheck(const CopyCheck& check) = 0;

    // The figures of the progress view for the checks the filter lets through.
    virtual ProgressData progress(const ProgressFilter& filter) = 0;

    // The accuracy with and without band conditions for the checks the filter lets through.
    virtual ConditionsAccuracy accuracyByConditions(const ProgressFilter& filter) = 0;

    // The latest kRecentWindow samples of each of these characters, over all checks.
    virtual RecentAccuracy recentAccuracy(std::string_view characters) = 0;

    // Each character's median recognition time over its latest kRecognitionWindow timed samples,
    // over all checks.
    virtual RecentRecognition recentRecognition() = 0;

    // The median recognition time of each check typed along that the filter lets through,
    // oldest first.
    virtual std::vector<RecognitionPoint> recognitionOverTime(const ProgressFilter& filter) = 0;

    // The character sets that checks were made on, the most recently used first.
    virtual std::vector<std::string> characterSets() = 0;

    // The accuracy in per cent that earns the next set (kDefaultAdvanceThresholdPercent until
    // set); kept with the history, apart from the settings file.
    virtual int advanceThresholdPercent() = 0;
    virtual void setAdvanceThresholdPercent(int percent) = 0;

    // The speed target that earning the next set also asks for, in milliseconds (none: off,
    // until set); kept with the history as the threshold is.
    virtual std::optional<int> advanceTargetMs() = 0;
    virtual void setAdvanceTargetMs(std::optional<int> milliseconds) = 0;

    // Every character's review state by the review rule, from its last kReviewDaysThatCount
    // days over all checks.
    virtual std::vector<ReviewState> reviewStates(int thresholdPercent) = 0;

    // Every check as CSV: one row per check in `checksFile`, one per scored character in
    // `outcomesFile` (UTF-8; the columns are in the README).
    virtual void exportCsv(const std::filesystem::path& checksFile,
                           const std::filesystem::path& outcomesFile) = 0;

    // A copy of the whole history as one database file, for another machine.
    virtual void exportCopy(const std::filesystem::path& file) = 0;

    // Adds the checks of another history (its database file or its checks CSV) that this one
    // lacks, a check being the same when its time and sent text are; all of them in one
    // transaction, or none when the file is damaged or foreign. Returns how many were added.
    virtual std::int64_t importHistory(const std::filesystem::path& file) = 0;
};

} // namespace vortan
