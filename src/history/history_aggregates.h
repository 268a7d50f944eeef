// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sums the history keeps beside its checks, so that the progress view reads a few hundred rows
// and not every check: per character set and day, per set and outcome pair, per character and
// day. Kept with each check, in the check's transaction; recounted whole when checks arrive in
// bulk (the schema step that makes them, an import).

#include <QSqlDatabase>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace vortan {

// Makes the tables and fills them from the checks kept so far.
void createAggregates(QSqlDatabase& database);

// Empties the tables and fills them again from every check kept.
void recountAggregates(QSqlDatabase& database);

// Sums of some checks, written into the tables by adding to what they hold.
class AggregateCounts {
public:
    // One check: its set (windows-1250), time, counts and outcome pairs (outcomePairs()).
    // Checks with nothing sent count nowhere, as the progress view leaves them out.
    void add(std::string_view characterSet, std::int64_t checkedAtMs, int sentCount, int correct,
             std::string_view pairs);

    // Adds the sums to the tables; throws SqlFailure.
    void write(QSqlDatabase& database) const;

private:
    struct Sums {
        int checks = 0;
        int sent = 0;
        int correct = 0;
    };
    std::map<std::pair<std::string, std::int64_t>, Sums> m_setDays;
    std::map<std::tuple<std::string, unsigned char, unsigned char>, int> m_outcomes;
    std::map<std::pair<unsigned char, std::int64_t>, Sums> m_characterDays;
};

} // namespace vortan
