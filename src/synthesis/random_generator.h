// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vortan {

// Where the generator's clock seed and the time of a rendering come from; tests and the renderer
// pass a fixed one.
class Clock {
public:
    virtual ~Clock() = default;
    // ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds, in UTC.
    virtual std::uint32_t millisecondsSinceMidnightUtc() const = 0;
    // Milliseconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t millisecondsSinceEpoch() const = 0;
};

class SystemClock final : public Clock {
public:
    std::uint32_t millisecondsSinceMidnightUtc() const override;
    std::int64_t millisecondsSinceEpoch() const override;
};

// Always the same moment of 1970-01-01 UTC.
class FixedClock final : public Clock {
public:
    explicit FixedClock(std::uint32_t milliseconds)
        : m_milliseconds(milliseconds)
    {
    }
    std::uint32_t millisecondsSinceMidnightUtc() const override { return m_milliseconds; }
    std::int64_t millisecondsSinceEpoch() const override { return m_milliseconds; }

private:
    std::uint32_t m_milliseconds;
};

// The program's one shared pseudo-random generator: a 32-bit linear congruential generator
// whose draws are fixed by its seed, so a rendering with known seeds is byte-for-byte known.
class RandomGenerator {
public:
    std::uint32_t seed() const { return m_seed; }
    void setSeed(std::uint32_t seed) { m_seed = seed; }

    // Uniform integer in [0, n); 0 when n is 0.
    std::uint32_t nextBelow(std::uint32_t n);
    // Uniform real in [0, 1).
    double nextReal();
    void seedFromClock(const Clock& clock);

private:
    void step() { m_seed = m_seed * 134775813u + 1u; }

    std::uint32_t m_seed = 0;
};

} // namespace vortan
