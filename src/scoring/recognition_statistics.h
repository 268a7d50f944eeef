// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the kept recognition times say: each character's median over its latest timed samples,
// and the median of each check typed along, for the Progress view, the advice and the drill.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vortan {

inline constexpr int kRecognitionWindow = 50; // timed samples per character
// A median over fewer says too little to call a character slow.
inline constexpr int kRecognitionMinimumSamples = 5;

struct CharacterRecognition {
    int samples = 0;  // timed samples within the window
    int medianMs = 0; // their median (the lower of the middle two); 0 without samples

    bool operator==(const CharacterRecognition&) const = default;
    bool known() const { return samples >= kRecognitionMinimumSamples; }
    // Known, and faster than the target.
    bool within(int targetMs) const { return known() && medianMs < targetMs; }
};

using RecentRecognition = std::array<CharacterRecognition, 256>; // by windows-1250 byte

// Takes the timed samples newest first, each character's up to kRecognitionWindow.
class RecognitionAccumulator {
public:
    void add(unsigned char character, int milliseconds);
    RecentRecognition result() const;

private:
    std::array<std::vector<int>, 256> m_samples;
};

// The median recognition time of one check typed along.
struct RecognitionPoint {
    std::int64_t checkedAtMs = 0;
    int medianMs = 0;
    int samples = 0;

    bool operator==(const RecognitionPoint&) const = default;
};

// The characters of `characters` slowest to recognise, slowest first: at most `count`, those
// with a known median.
std::vector<unsigned char> slowestCharacters(std::string_view characters,
                                             const RecentRecognition& recognition,
                                             std::size_t count);

} // namespace vortan
