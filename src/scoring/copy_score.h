// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/wording.h"
#include "scoring/alignment.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// Moved: a letter of a sent group written whole in another place. It was heard right, so it
// counts as correct; the summary names the move.
enum class Outcome : std::uint8_t { Correct, Wrong, Missed, Extra, Moved };

// The outcome of one aligned pair of characters (0: no partner).
Outcome outcomeOf(unsigned char sent, unsigned char typed);

struct ScoredCharacter {
    unsigned char sent = 0;  // 0 for an extra character
    unsigned char typed = 0; // 0 for a missed one; the sent byte when both sound the same
    Outcome outcome = Outcome::Correct;
    int group = 0;      // the sent group (from 0) it belongs to; an extra one: that it is in or
                        // follows
    int copyGroup = -1; // the copied group (from 0) of the typed character; -1 for a missed one

    bool operator==(const ScoredCharacter&) const = default;
};

// The result of checking one copy. Separators are neither characters nor errors.
struct CopyScore {
    std::vector<ScoredCharacter> characters; // in text order
    std::vector<MovedGroup> moved;
    int groupCount = 0; // sent groups
    int sentCount = 0;  // characters of the sent text that were scored
    int correct = 0;    // moved characters included
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

// Counts of an alignment of compared texts.
CopyScore scoreAlignment(const Alignment& alignment);

// The accuracy as shown: per cent rounded to one decimal ("66.7", "100.0"; in Polish "66,7").
std::string accuracyText(const CopyScore& score, const Wording& wording = englishWording());

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
inline constexpr char kMovedMark = '>';

std::vector<AlignedGroupRows> alignedGroupRows(const CopyScore& score);

// The errors a summary names, grouped as it says them; group numbers from 1.
struct GroupRange {
    int first = 0;
    int last = 0;
};
struct ExtraGroup {
    std::string typed;  // the copied group (windows-1250)
    int afterGroup = 0; // the sent group it follows; 0: before group 1
};
struct SummaryErrors {
    std::vector<GroupRange> missedGroups; // sent groups missed whole
    int missedGroupCount = 0;
    std::vector<ScoredCharacter> wrong;  // in text order
    std::vector<ScoredCharacter> missed; // outside groups missed whole
    std::vector<ScoredCharacter> extra;  // outside groups that are all extra
    std::vector<ExtraGroup> extraGroups;
    std::vector<MovedGroup> moved;
};

SummaryErrors summaryErrors(const CopyScore& score);

// The result in words for a screen reader (UTF-8, in the wording's language): accuracy, counts,
// then one sentence per kind of error, groups as ranges: "Groups 1-3 missed. Group 4: b written
// as s." The check window and vortan-check both say it.
std::string checkSummary(const CopyScore& score, const Wording& wording = englishWording());

// Items said group by group, " Group 2: a, b; group 5: c.", as the summary says its errors:
// `describe` gives each character's item.
std::string groupedItems(const std::vector<ScoredCharacter>& characters, const Wording& wording,
                         const std::function<std::string(const ScoredCharacter&)>& describe);

} // namespace vortan
