// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/random_generator.h"

#include <chrono>

namespace vortan {

std::uint32_t SystemClock::millisecondsSinceMidnightUtc() const
{
    using namespace std::chrono;
    const auto now = time_point_cast<milliseconds>(system_clock::now());
    const auto sinceMidnight = now - floor<days>(now);
    return static_cast<std::uint32_t>(sinceMidnight.count());
}

std::int64_t SystemClock::millisecondsSinceEpoch() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::uint32_t RandomGenerator::nextBelow(std::uint32_t n)
{
    step();
    return static_cast<std::uint32_t>((std::uint64_t{m_seed} * n) >> 32);
}

double RandomGenerator::nextReal()
{
    step();
    return m_seed / 4294967296.0;
}

void RandomGenerator::seedFromClock(const Clock& clock)
{
    m_seed = clock.millisecondsSinceMidnightUtc();
}

} // namespace vortan
