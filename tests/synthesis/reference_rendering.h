#pragma once

// A second, deliberately plain rendering of a pattern string, sample by sample and straight from
// the formulas, to check the library's buffered one for the exact samples (noise and jitter too).

#include "synthesis/synthesizer.h"

#include <cmath>
#include <vector>

namespace vortan::test {

// remainder() rounds its quotient half to even, whatever the rounding mode.
inline int roundHalfEven(double x)
{
    return static_cast<int>(x - std::remainder(x, 1.0));
}

// `seed` is the generator's state when the rendering starts, `clock` what the clock says when
// keying starts.
inline std::vector<std::uint8_t> referenceSamples(std::string_view pattern,
                                                  const SynthesisSettings& s, std::uint64_t seed,
                                                  std::uint64_t clock)
{
    auto draw = [&seed] { return seed = (seed * 134775813u + 1u) % 0x100000000u; };
    const int dot = roundHalfEven(48700.0 / s.speed);
    const int period = roundHalfEven(11025.0 / s.tone);
    std::vector<int> gap(50000), tone(6 * dot + 1);
    for (int& sample : gap)
        sample = 128 + static_cast<int>(draw() * s.noise >> 32) - s.noise / 2;
    for (int i = 0; i <= 6 * dot; ++i)
        tone[i] = static_cast<int>(draw() * s.noise >> 32) - s.noise / 2 + 128 +
                  roundHalfEven(100 * std::sin(2 * M_PI * (i % period + 1) / period));

    std::vector<std::uint8_t> samples;
    auto emit = [&samples](const std::vector<int>& from, int first, int count) {
        for (int t = first; t < first + count; ++t)
            samples.push_back(static_cast<std::uint8_t>(from[t]));
    };
    seed = clock;
    const int centring = roundHalfEven(dot * (s.straight * 0.01) * 0.5);
    for (const char symbol : pattern) {
        if (symbol == ' ') {
            emit(gap, 0, (s.spaces + 3) * dot);
            continue;
        }
        const double r = static_cast<double>(draw()) / 0x100000000u;
        const double scale = symbol == '.' ? 0.01 : 0.005;
        const int jitter = roundHalfEven(r * dot * (s.straight * scale)) - centring;
        emit(tone, 1, (symbol == '.' ? dot : 3 * dot) + jitter);
        emit(gap, 0, dot - jitter);
    }
    return samples;
}

} // namespace vortan::test
