// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_score.h"

#include "base/windows1250.h"
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

std::string accuracyText(const CopyScore& score, const Wording& wording)
{
    // Tenths of a per cent, rounded half up.
    return decimalTenths(
        wording, score.sentCount == 0 ? 0 : (score.correct * 2000LL / score.sentCount + 1) / 2);
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

std::string character(unsigned char byte)
{
    return windows1250::toUtf8(std::string_view(reinterpret_cast<const char*>(&byte), 1));
}

// "1-3, 5 and 7".
std::string groupRanges(const std::vector<GroupRange>& ranges, const Wording& wording)
{
    std::string text;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        if (r > 0)
            text += r + 1 == ranges.size() ? wording.translate("vortan::CheckSummary", " and ")
                                           : std::string(", ");
        text += std::to_string(ranges[r].first);
        if (ranges[r].last > ranges[r].first)
            text += '-' + std::to_string(ranges[r].last);
    }
    return text;
}

// Items per group, " Group 2: a, b; group 5: c.": `describe` says each character's item.
template <typename Describe>
std::string perGroup(const std::vector<ScoredCharacter>& characters, const Wording& wording,
                     Describe describe)
{
    std::string text;
    std::string items;
    int group = -1;
    const auto flush = [&] {
        if (group >= 0) {
            text += withArguments(
                text.empty() ? wording.translate("vortan::CheckSummary", "Group %1: %2")
                             : "; " + wording.translate("vortan::CheckSummary", "group %1: %2"),
                {std::to_string(group + 1), items});
        }
        items.clear();
    };
    for (const ScoredCharacter& character : characters) {
        if (character.group != group) {
            flush();
            group = character.group;
        } else {
            items += ", ";
        }
        items += describe(character);
    }
    flush();
    return ' ' + text + '.';
}

} // namespace

std::string groupedItems(const std::vector<ScoredCharacter>& characters, const Wording& wording,
                         const std::function<std::string(const ScoredCharacter&)>& describe)
{
    return perGroup(characters, wording, describe);
}

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

std::string checkSummary(const CopyScore& score, const Wording& wording)
{
    if (score.sentCount == 0)
        return wording.translate("vortan::CheckSummary", "Nothing was sent to check against.");
    std::string summary = withArguments(
        wording.translate("vortan::CheckSummary", "Accuracy %1 per cent: %2 right of %n sent.",
                          nullptr, score.sentCount),
        {accuracyText(score, wording), std::to_string(score.correct)});
    // A moved group is no error of its own: it is said after "No errors."
    if (score.errors() == 0)
        summary += ' ' + wording.translate("vortan::CheckSummary", "No errors.");
    else
        summary +=
            ' ' + withArguments(wording.translate("vortan::CheckSummary",
                                                  "Errors: %n (%1 wrong, %2 missed, %3 extra).",
                                                  nullptr, score.errors()),
                                {std::to_string(score.wrong), std::to_string(score.missed),
                                 std::to_string(score.extra)});

    const SummaryErrors errors = summaryErrors(score);
    if (!errors.missedGroups.empty()) {
        summary += ' ' + withArguments(
                             errors.missedGroupCount == 1
                                 ? wording.translate("vortan::CheckSummary", "Group %1 missed.")
                                 : wording.translate("vortan::CheckSummary", "Groups %1 missed."),
                             {groupRanges(errors.missedGroups, wording)});
    }
    if (!errors.wrong.empty()) {
        summary += perGroup(errors.wrong, wording, [&](const ScoredCharacter& c) {
            return withArguments(wording.translate("vortan::CheckSummary", "%1 written as %2"),
                                 {character(c.sent), character(c.typed)});
        });
    }
    if (!errors.missed.empty()) {
        summary += perGroup(errors.missed, wording, [&](const ScoredCharacter& c) {
            return withArguments(wording.translate("vortan::CheckSummary", "%1 missed"),
                                 {character(c.sent)});
        });
    }
    if (!errors.extra.empty()) {
        summary += perGroup(errors.extra, wording, [&](const ScoredCharacter& c) {
            return withArguments(wording.translate("vortan::CheckSummary", "extra %1"),
                                 {character(c.typed)});
        });
    }
    if (!errors.extraGroups.empty()) {
        std::string groups;
        for (const ExtraGroup& extra : errors.extraGroups) {
            const std::string typed = windows1250::toUtf8(extra.typed);
            groups +=
                (groups.empty() ? "" : ", ") +
                (extra.afterGroup == 0
                     ? withArguments(wording.translate("vortan::CheckSummary", "%1 before group 1"),
                                     {typed})
                     : withArguments(wording.translate("vortan::CheckSummary", "%1 after group %2"),
                                     {typed, std::to_string(extra.afterGroup)}));
        }
        summary += ' ' + withArguments(
                             errors.extraGroups.size() == 1
                                 ? wording.translate("vortan::CheckSummary", "Extra group: %1.")
                                 : wording.translate("vortan::CheckSummary", "Extra groups: %1."),
                             {groups});
    }
    for (std::size_t m = 0; m < errors.moved.size(); ++m) {
        const MovedGroup& moved = errors.moved[m];
        // The first move starts a sentence: "Group 2 written first; group 5 written after ...".
        const bool first = m == 0;
        const std::string group = std::to_string(moved.sentGroup + 1);
        summary +=
            (first ? " " : "; ") +
            (moved.writtenAfterGroup < 0
                 ? withArguments(
                       first ? wording.translate("vortan::CheckSummary", "Group %1 written first")
                             : wording.translate("vortan::CheckSummary", "group %1 written first"),
                       {group})
                 : withArguments(first ? wording.translate("vortan::CheckSummary",
                                                           "Group %1 written after group %2")
                                       : wording.translate("vortan::CheckSummary",
                                                           "group %1 written after group %2"),
                                 {group, std::to_string(moved.writtenAfterGroup + 1)}));
    }
    if (!errors.moved.empty())
        summary += '.';
    return summary;
}

} // namespace vortan
