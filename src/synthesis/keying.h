// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vortan {

class RandomGenerator;

// Every audio length in synthesis is counted in samples at this rate.
inline constexpr int sampleRateHz = 11025;

// x taken to the nearest integer, a half going to the even neighbour.
int nearest(double x);

// Dot length in samples for a speed in characters per minute: nearest(48700 / speed).
int dotLength(int speed);

enum class SegmentKind { Tone, Gap };

struct Segment {
    SegmentKind kind = SegmentKind::Gap;
    int sampleCount = 0;

    friend bool operator==(const Segment&, const Segment&) = default;
};

// Keys one pattern symbol into its segments, written to the front of `segments`; returns how
// many (0, 1 or 2). A dot or dash draws exactly one real from `random` for its straight-key
// jitter, which moves the boundary between tone and pause but never their sum.
int keysymbol(char symbol, int dotlen, int dashlen, int spaces, int straight,
              RandomGenerator& random, std::array<Segment, 2>& segments);

// Total samples of a pattern string, the sum of what keysymbol emits whatever the draws.
// Counted in 64 bits: long texts at slow speeds pass 2^31 samples.
std::int64_t trsize(std::string_view pattern, int dotlen, int dashlen, int spaces);

} // namespace vortan
