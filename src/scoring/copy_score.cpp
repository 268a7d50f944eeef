// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_score.h"

#include "scoring/compared_texts.h"

namespace vortan {

Outcome outcomeOf(unsigned char sent, unsigned char typed)
{
    if (sent == 0)
        return Outcome::Extra;
    if (typed == 0)
        return Outcome::Missed;
    return soundKey(sent) == soundKey(typed) ? Outcome::Correct : Outcome::Wrong;
}

double CopyScore::accuracy() const
{
    return sentCount == 0 ? 0.0 : static_cast<double>(correct) / sentCount;
}

bool CopyScore::reaches(int percent) const
{
    return sentCount > 0 && correct * 100LL >= static_cast<long long>(percent) * sentCount;
}

CopyScore scoreCopy(std::string_view renderedText, std::string_view copy)
{
    const ComparedTexts texts = comparedTexts(renderedText, copy);
    return scoreAlignment(alignCopy(texts.sent, texts.copy));
}

CopyScore scoreAlignment(const Alignment& alignment)
{
    CopyScore score;
    score.groupCount = alignment.sentGroupCount;
    score.moved = alignment.moved;
    score.characters.reserve(alignment.pairs.size());
    for (const AlignedPair& pair : alignment.pairs) {
        const Outcome outcome = pair.moved ? Outcome::Moved : outcomeOf(pair.sent, pair.typed);
        const bool right = outcome == Outcome::Correct || outcome == Outcome::Moved;
        score.characters.push_back(
            {pair.sent, right ? pair.sent : pair.typed, outcome, pair.sentGroup, pair.copyGroup});
        if (pair.sent != 0)
            ++score.sentCount;
        switch (outcome) {
        case Outcome::Correct:
        case Outcome::Moved:
            ++score.correct;
            break;
        case Outcome::Wrong:
            ++score.wrong;
            break;
        case Outcome::Missed:
            ++score.missed;
            break;
        case Outcome::Extra:
            ++score.extra;
            break;
        }
    }
    return score;
}

std::string accuracyText(const CopyScore& score)
{
    // Tenths of a per cent, rounded half up.
    const long long tenths =
        score.sentCount == 0 ? 0 : (score.correct * 2000LL / score.sentCount + 1) / 2;
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

std::vector<AlignedGroupRows> alignedGroupRows(const CopyScore& score)
{
    std::vector<AlignedGroupRows> groups(
        static_cast<std::size_t>(std::max(score.groupCount, score.characters.empty() ? 0 : 1)));
    for (const ScoredCharacter& character : score.characters) {
        AlignedGroupRows& rows = groups[static_cast<std::size_t>(character.group)];
        rows.sent.push_back(character.sent == 0 ? kNoPartner : static_cast<char>(character.sent));
        rows.typed.push_back(character.typed == 0 ? kNoPartner
                                                  : static_cast<char>(character.typed));
        constexpr char marks[] = {' ', kWrongMark, kMissedMark, kExtraMark, kMovedMark};
        rows.marks.push_back(marks[static_cast<int>(character.outcome)]);
    }
    return groups;
}

namespace {

// "1-3, 5 and 7".
std::string groupRanges(const std::vector<GroupRange>& ranges)
{
    std::string text;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        text += (r == 0                   ? ""
                 : r + 1 == ranges.size() ? " and "
                                          : ", ") +
                std::to_string(ranges[r].first) +
                (ranges[r].last > ranges[r].first ? '-' + std::to_string(ranges[r].last)
                                                  : std::string());
    }
    return text;
}

// Items per group, "Group 2: a, b; group 5: c": `describe` says each character's item.
template <typename Describe>
std::string perGroup(const std::vector<ScoredCharacter>& characters, Describe describe)
{
    std::string text;
    int group = -1;
    for (const ScoredCharacter& character : characters) {
        if (character.group != group) {
            text +=
                (group < 0 ? "Group " : "; group ") + std::to_string(character.group + 1) + ": ";
            group = character.group;
        } else {
            text += ", ";
        }
        text += describe(character);
    }
    return text + '.';
}

} // namespace

SummaryErrors summaryErrors(const CopyScore& score)
{
    SummaryErrors errors;
    errors.moved = score.moved;
    // Sent groups missed whole, and copied groups all extra.
    std::vector<int> sentLetters(static_cast<std::size_t>(score.groupCount), 0);
    std::vector<int> missedLetters(sentLetters.size(), 0);
    std::vector<int> copyLetters, extraLetters;
    for (const ScoredCharacter& c : score.characters) {
        if (c.sent != 0) {
            ++sentLetters[static_cast<std::size_t>(c.group)];
            missedLetters[static_cast<std::size_t>(c.group)] += c.outcome == Outcome::Missed;
        }
        if (c.copyGroup >= 0) {
            if (static_cast<std::size_t>(c.copyGroup) >= copyLetters.size()) {
                copyLetters.resize(static_cast<std::size_t>(c.copyGroup) + 1, 0);
                extraLetters.resize(copyLetters.size(), 0);
            }
            ++copyLetters[static_cast<std::size_t>(c.copyGroup)];
            extraLetters[static_cast<std::size_t>(c.copyGroup)] += c.outcome == Outcome::Extra;
        }
    }
    const auto missedWhole = [&](int group) {
        const auto g = static_cast<std::size_t>(group);
        return sentLetters[g] > 0 && missedLetters[g] == sentLetters[g];
    };
    const auto extraWhole = [&](const ScoredCharacter& c) {
        return extraLetters[static_cast<std::size_t>(c.copyGroup)] ==
               copyLetters[static_cast<std::size_t>(c.copyGroup)];
    };

    for (int g = 0; g < score.groupCount; ++g) {
        if (!missedWhole(g))
            continue;
        ++errors.missedGroupCount;
        if (!errors.missedGroups.empty() && errors.missedGroups.back().last == g)
            errors.missedGroups.back().last = g + 1;
        else
            errors.missedGroups.push_back({g + 1, g + 1});
    }

    int lastSentGroup = -1;
    for (std::size_t i = 0; i < score.characters.size(); ++i) {
        const ScoredCharacter& c = score.characters[i];
        if (c.outcome == Outcome::Wrong)
            errors.wrong.push_back(c);
        else if (c.outcome == Outcome::Missed && !missedWhole(c.group))
            errors.missed.push_back(c);
        else if (c.outcome == Outcome::Extra && !extraWhole(c))
            errors.extra.push_back(c);
        else if (c.outcome == Outcome::Extra &&
                 (i == 0 || score.characters[i - 1].copyGroup != c.copyGroup)) {
            ExtraGroup group{{}, lastSentGroup + 1};
            for (std::size_t end = i;
                 end < score.characters.size() && score.characters[end].copyGroup == c.copyGroup;
                 ++end)
                group.typed.push_back(static_cast<char>(score.characters[end].typed));
            errors.extraGroups.push_back(std::move(group));
        }
        if (c.sent != 0 && c.outcome != Outcome::Moved)
            lastSentGroup = c.group;
    }
    return errors;
}

std::string checkSummary(const CopyScore& score)
{
    if (score.sentCount == 0)
        return "Nothing was sent to check against.";
    std::string summary = "Accuracy " + accuracyText(score) +
                          " per cent: " + std::to_string(score.correct) + " of " +
                          std::to_string(score.sentCount) + " characters right.";
    if (score.errors() == 0 && score.moved.empty())
        return summary + " No errors.";
    summary += ' ' + std::to_string(score.errors()) +
               (score.errors() == 1 ? " error: " : " errors: ") + std::to_string(score.wrong) +
               " wrong, " + std::to_string(score.missed) + " missed, " +
               std::to_string(score.extra) + " extra.";

    const SummaryErrors errors = summaryErrors(score);
    if (!errors.missedGroups.empty()) {
        summary += (errors.missedGroupCount == 1 ? " Group " : " Groups ") +
                   groupRanges(errors.missedGroups) + " missed.";
    }
    if (!errors.wrong.empty()) {
        summary += ' ' + perGroup(errors.wrong, [](const ScoredCharacter& c) {
                       return std::string(1, static_cast<char>(c.sent)) + " written as " +
                              static_cast<char>(c.typed);
                   });
    }
    if (!errors.missed.empty()) {
        summary += ' ' + perGroup(errors.missed, [](const ScoredCharacter& c) {
                       return std::string(1, static_cast<char>(c.sent)) + " missed";
                   });
    }
    if (!errors.extra.empty()) {
        summary += ' ' + perGroup(errors.extra, [](const ScoredCharacter& c) {
                       return "extra " + std::string(1, static_cast<char>(c.typed));
                   });
    }
    for (std::size_t g = 0; g < errors.extraGroups.size(); ++g) {
        const ExtraGroup& extra = errors.extraGroups[g];
        summary += (g == 0 ? errors.extraGroups.size() == 1 ? " Extra group: " : " Extra groups: "
                           : ", ") +
                   extra.typed +
                   (extra.afterGroup == 0 ? std::string(" before group 1")
                                          : " after group " + std::to_string(extra.afterGroup));
    }
    if (!errors.extraGroups.empty())
        summary += '.';
    for (std::size_t m = 0; m < errors.moved.size(); ++m) {
        const MovedGroup& moved = errors.moved[m];
        summary += (m == 0 ? " Group " : "; group ") + std::to_string(moved.sentGroup + 1) +
                   (moved.writtenAfterGroup < 0
                        ? std::string(" written first")
                        : " written after group " + std::to_string(moved.writtenAfterGroup + 1));
    }
    if (!errors.moved.empty())
        summary += '.';
    return summary;
}

} // namespace vortan
