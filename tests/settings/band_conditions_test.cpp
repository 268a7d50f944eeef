// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/band_conditions.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

BandConditions everything()
{
    BandConditions conditions;
    conditions.qsbRate = 0.05;
    conditions.qsbDepthDb = 30;
    conditions.qrm = {{.offsetHz = -600, .levelDb = -30, .speed = 0},
                      {.offsetHz = 1, .levelDb = 10, .speed = 250},
                      {.offsetHz = 600, .levelDb = 0, .speed = 40}};
    conditions.qrnRate = 4.75;
    conditions.qrnLevelDb = -30;
    conditions.chirpHz = -100;
    conditions.chirpMs = 500;
    return conditions;
}

} // namespace

// A summary kept in the history reads back as the conditions it was made from.
TEST(BandConditions, SummaryReadsBackAsItsConditions)
{
    std::vector<BandConditions> rows{everything()};
    for (const NamedConditions& named : namedConditions())
        rows.push_back(named.conditions);
    for (const BandConditions& conditions : rows) {
        const std::string summary = conditionsSummary(conditions);
        SCOPED_TRACE(summary);
        EXPECT_EQ(conditionsFromSummary(summary), conditions);
    }
    EXPECT_EQ(
        conditionsSummary(everything()),
        "qsb 0.05:30, qrm -600:-30, qrm 1:10:250, qrm 600:0:40, qrn 4.75:-30, chirp -100:500");
}

TEST(BandConditions, SummaryThatNoneMakesIsRefused)
{
    struct Row {
        const char* summary;
        const char* error;
    };
    const Row rows[] = {
        {"fog 1:2", "\"fog 1:2\" names no band condition"},
        {"qsb", "\"\" is not of the form RATE:DEPTH"},
        {"qsb 9:10", "The fading rate (fades per second) must lie between 0 and 2, not 9"},
        {"qrm 1:1, qrm 2:2, qrm 3:3, qrm 4:4", "At most three other stations, not 4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.summary);
        try {
            conditionsFromSummary(row.summary);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), row.error);
        }
    }
}
