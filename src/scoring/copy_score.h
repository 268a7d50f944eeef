// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/alignment.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

enum class Outcome : std::uint8_t { Correct, Wrong, Missed, Extra };

// The outcome of one aligned pair of characters (0: no partner).
Outcome outcomeOf(unsigned char sent, unsigned char typed);

struct ScoredCharacter {
    unsigned char sent = 0;  // 0 for an extra character
    unsigned char typed = 0; // 0 for a missed one; the sent byte when both sound the same
    Outcome outcome = Outcome::Correct;
    int group = 0; // which group of the aligned display it belongs to, from 0

    bool operator==(const ScoredCharacter&) const = default;
};

// The result of checking one copy. Separators are neither characters nor errors.
struct CopyScore {
    std::vector<ScoredCharacter> characters; // in text order
    int groupCount = 0;
    int sentCount = 0; // characters of the sent text that were scored
    int correct = 0;
    int wrong = 0;
    int missed = 0;
    int extra = 0;

    int errors() const { return wrong + missed + extra; }
    // correct / sentCount, from 0 to 1; 0 when nothing was sent.
    double accuracy() const;
    // Whether the accuracy is at least `percent` per cent, exactly (no rounding).
    bool reaches(int percent) const;
};

// Scores a copy against the text a rendering sent (windows-1250 bytes both): normalises both
// (comparedTexts), aligns them (alignCopy) and counts. Throws vortan::Error as alignCopy does.
CopyScore scoreCopy(std::string_view renderedText, std::string_view copy);

// Counts and groups of an alignment of compared texts. A group ends at each sent separator;
// extra characters typed as a group of their own (before the text or after it) get their own.
CopyScore scoreAlignment(const std::vector<AlignedPair>& pairs);

// The accuracy as shown: per cent with one decimal, rounded down ("89.9", "100.0").
std::string accuracyText(const CopyScore& score);

// A group as three rows of equal length, one column per character: what was sent, what was
// typed (kNoPartner where nothing), and a mark under every error that needs no colour.
struct AlignedGroupRows {
    std::string sent;
    std::string typed;
    std::string marks;

    bool operator==(const AlignedGroupRows&) const = default;
};

inline constexpr char kNoPartner = '\xB7'; // windows-1250 middle dot
inline constexpr char kWrongMark = '*';
inline constexpr char kMissedMark = '-';
inline constexpr char kExtraMark = '+';

std::vector<AlignedGroupRows> alignedGroupRows(const CopyScore& score);

// The result in words for a screen reader (windows-1250): accuracy, counts, then every error
// with its group, e.g. "Group 2: 5 written as h."
std::string checkSummary(const CopyScore& score);

} // namespace vortan
