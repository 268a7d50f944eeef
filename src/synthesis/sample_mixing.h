// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace vortan {

// The band mixer's last pass over a block: what the conditions add to each sample, summed in
// 16-bit integers, put onto the plain sample and held in the 8-bit range. Every path does the
// same integer steps, so each gives the same bytes.
namespace sample_mixing {

// What is added is counted in 1 / unit of a sample step.
inline constexpr int unitBits = 3;
inline constexpr int unit = 1 << unitBits;

// The fade's gain holds for runs of this many samples from the block's start.
inline constexpr int gainRun = 8;

// out[j] = base[j] + (added[j] + ((tone[j] * gain[j / gainRun]) >> 16) + unit / 2) / unit, rounded
// down, held in 0 to 255. tone: in 1 / (2 unit) of a step; gain: 0 to 32767 for 0 to 1. A null tone
// or gain leaves out the faded term, a null added its term. The terms must not overflow 16 bits.
// added[] is left at zero, ready for the next block.
struct Inputs {
    const std::uint8_t* base = nullptr;
    std::int16_t* added = nullptr;
    const std::int16_t* tone = nullptr;
    const std::int16_t* gain = nullptr;
};

enum class Path { Scalar, Sse2, Avx2 };

// The paths this processor runs, the scalar one first.
std::vector<Path> availablePaths();

// Mixes count samples into out by the given path; returns how many were held at 0 or 255.
int mix(Path path, const Inputs& inputs, std::uint8_t* out, int count);
// The same by the fastest path available.
int mix(const Inputs& inputs, std::uint8_t* out, int count);

// target[j] += source[j] for count samples.
void addSamples(std::int16_t* target, const std::int16_t* source, int count);

} // namespace sample_mixing

} // namespace vortan
