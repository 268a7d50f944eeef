// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_score.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// How the history keeps a check's outcomes: two bytes per scored character in text order, the
// sent byte and the typed one, 0 where there is no partner; a typed byte equal to the sent one
// is right. Enough to count everything below without scoring again.
std::string outcomePairs(const CopyScore& score);

// A character's latest samples: times it was sent, and right, within the window.
struct RecentSamples {
    int samples = 0;
    int correct = 0;

    bool operator==(const RecentSamples&) const = default;
    // correct / samples, 0 when there are none.
    double accuracy() const;
    // Whether at least `minimum` samples reach `percent` per cent, exactly.
    bool reaches(int percent, int minimum) const;
};

using RecentAccuracy = std::array<RecentSamples, 256>; // by windows-1250 byte

inline constexpr int kRecentWindow = 50; // samples per character

struct CharacterStatistics {
    unsigned char character = 0;
    int sent = 0;
    int correct = 0;
    int wrong = 0;
    int missed = 0;
    int extra = 0;                                      // typed where nothing was sent
    std::vector<std::pair<unsigned char, int>> wrongAs; // what was typed instead, most often first
    RecentSamples recent;
    // What it was most often written as within the recent samples, and how often (0: never).
    unsigned char recentWrittenAs = 0;
    int recentWrittenAsCount = 0;

    bool operator==(const CharacterStatistics&) const = default;
};

struct ConfusionPair {
    unsigned char sent = 0;
    unsigned char typed = 0;
    int count = 0;

    bool operator==(const ConfusionPair&) const = default;
};

// The checks of one calendar day (local time) together.
struct DayPoint {
    std::int64_t day = 0; // days since 1970-01-01
    int checks = 0;
    int sentCount = 0;
    int correct = 0;

    bool operator==(const DayPoint&) const = default;
    double accuracy() const { return sentCount == 0 ? 0.0 : double(correct) / sentCount; }
};

// All checks at one transmission tempo together.
struct TempoPoint {
    int tempo = 0;
    int checks = 0;
    int sentCount = 0;
    int correct = 0;

    bool operator==(const TempoPoint&) const = default;
    double accuracy() const { return sentCount == 0 ? 0.0 : double(correct) / sentCount; }
};

struct ProgressData {
    std::vector<CharacterStatistics> characters; // weakest recent accuracy first
    std::vector<ConfusionPair> confusions;       // most frequent first
    std::vector<DayPoint> days;                  // oldest first, days without checks left out
    std::vector<TempoPoint> tempos;              // slowest first
};

// Builds the per-character figures from outcome counts and from checks given newest first.
// The days and tempos of ProgressData are the caller's (the history counts them).
class ProgressAccumulator {
public:
    explicit ProgressAccumulator(int recentWindow = kRecentWindow);

    // One check's outcomes, newer checks having come before; pairs as outcomePairs() made them.
    void addCheck(std::string_view pairs);

    // Totals counted elsewhere: `count` times `sent` written as `typed` (0: no partner). Recent
    // samples then come from addRecentPairs().
    void addOutcomes(unsigned char sent, unsigned char typed, int count);

    // One check's outcomes for the recent windows only, newer checks having come before;
    // returns whether every character sent has its window as full as its total allows, so that
    // older checks cannot change any window.
    bool addRecentPairs(std::string_view pairs);

    // Only the recent windows, for the characters asked about; returns whether every one of
    // them has its window full (older checks cannot change it then).
    bool addRecentSamples(std::string_view pairs, std::string_view characters);

    const RecentAccuracy& recentAccuracy() const { return m_recent; }

    // The figures: at most `confusionCount` pairs.
    ProgressData result(std::size_t confusionCount = 20) const;

private:
    struct Totals {
        int sent = 0;
        int correct = 0;
        int missed = 0;
        int extra = 0;
    };

    void addRecent(unsigned char sent, unsigned char typed);
    bool recentComplete() const;

    int m_window;
    std::array<Totals, 256> m_totals{};
    std::vector<int> m_wrong; // 256 x 256: sent * 256 + typed
    RecentAccuracy m_recent{};
    std::vector<int> m_recentWrong; // 256 x 256 as m_wrong, within the recent windows
};

} // namespace vortan
