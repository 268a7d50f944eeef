// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/keystroke_clock.h"
#include "synthesis/keying.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

constexpr std::int64_t kMs = 1'000'000;

TEST(KeystrokeClock, RunsOnFromTheLastFrameTheServerTold)
{
    const std::int64_t second = sampleRateHz;
    const struct {
        std::optional<std::int64_t> told;
        std::int64_t steadyNs;
        std::optional<std::int64_t> frame;
    } steps[] = {
        {std::nullopt, 0, std::nullopt},           // nothing played yet
        {-100, 10 * kMs, -100},                    // the lead-in
        {5000, 500 * kMs, 5000},                   // told: taken as it is
        {std::nullopt, 1500 * kMs, 5000 + second}, // played out: runs on
        {std::nullopt, 2500 * kMs, 5000 + 2 * second},
        {7000, 3000 * kMs, 7000},          // a new Play: the server again
        {7000, 4000 * kMs, 7000 + second}, // a frame that stands still has ended
        {std::nullopt, 3000 * kMs + KeystrokeClock::kRunOnNs, 7000 + 60 * second},
        {std::nullopt, 3001 * kMs + KeystrokeClock::kRunOnNs, std::nullopt}, // long after
    };
    KeystrokeClock clock;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.steadyNs);
        EXPECT_EQ(clock.frameAt(step.told, step.steadyNs), step.frame);
    }
    clock.reset();
    EXPECT_EQ(clock.frameAt(std::nullopt, 5000 * kMs + KeystrokeClock::kRunOnNs), std::nullopt);
}

} // namespace
