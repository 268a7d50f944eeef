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

CopyScore scoreAlignment(const std::vector<AlignedPair>& pairs)
{
    CopyScore score;
    int sentLetters = 0;
    for (const AlignedPair& pair : pairs) {
        if (pair.sent != 0 && pair.sent != kGroupSeparator)
            ++sentLetters;
    }

    int group = 0;
    bool groupHasSent = false;
    bool groupHasAny = false;
    const auto endGroup = [&] {
        ++group;
        groupHasSent = groupHasAny = false;
    };
    for (const AlignedPair& pair : pairs) {
        if (pair.sent == kGroupSeparator) {
            endGroup();
            continue;
        }
        if (pair.typed == kGroupSeparator) {
            // A blank typed inside a sent group does not split it; one that closes a run of
            // extra characters (before the text or past its end) makes that run a group.
            if (groupHasAny && (!groupHasSent || score.sentCount == sentLetters))
                endGroup();
            continue;
        }
        const Outcome outcome = outcomeOf(pair.sent, pair.typed);
        const unsigned char typed = outcome == Outcome::Correct ? pair.sent : pair.typed;
        score.characters.push_back({pair.sent, typed, outcome, group});
        groupHasAny = true;
        if (pair.sent != 0) {
            groupHasSent = true;
            ++score.sentCount;
        }
        switch (outcome) {
        case Outcome::Correct:
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
    score.groupCount = groupHasAny ? group + 1 : group;
    return score;
}

std::string accuracyText(const CopyScore& score)
{
    const long long permille = score.sentCount == 0 ? 0 : score.correct * 1000LL / score.sentCount;
    return std::to_string(permille / 10) + '.' + std::to_string(permille % 10);
}

std::vector<AlignedGroupRows> alignedGroupRows(const CopyScore& score)
{
    std::vector<AlignedGroupRows> groups(static_cast<std::size_t>(score.groupCount));
    for (const ScoredCharacter& character : score.characters) {
        AlignedGroupRows& rows = groups[static_cast<std::size_t>(character.group)];
        rows.sent.push_back(character.sent == 0 ? kNoPartner : static_cast<char>(character.sent));
        rows.typed.push_back(character.typed == 0 ? kNoPartner
                                                  : static_cast<char>(character.typed));
        constexpr char marks[] = {' ', kWrongMark, kMissedMark, kExtraMark};
        rows.marks.push_back(marks[static_cast<int>(character.outcome)]);
    }
    return groups;
}

std::string checkSummary(const CopyScore& score)
{
    if (score.sentCount == 0)
        return "Nothing was sent to check against.";
    std::string summary = "Accuracy " + accuracyText(score) +
                          " per cent: " + std::to_string(score.correct) + " of " +
                          std::to_string(score.sentCount) + " characters right. ";
    if (score.errors() == 0)
        return summary + "No errors.";
    summary += std::to_string(score.errors()) + (score.errors() == 1 ? " error: " : " errors: ") +
               std::to_string(score.wrong) + " wrong, " + std::to_string(score.missed) +
               " missed, " + std::to_string(score.extra) + " extra.";
    for (const ScoredCharacter& character : score.characters) {
        const std::string where = " Group " + std::to_string(character.group + 1) + ": ";
        switch (character.outcome) {
        case Outcome::Correct:
            break;
        case Outcome::Wrong:
            summary += where + static_cast<char>(character.sent) + " written as " +
                       static_cast<char>(character.typed) + '.';
            break;
        case Outcome::Missed:
            summary += where + static_cast<char>(character.sent) + " missed.";
            break;
        case Outcome::Extra:
            summary += where + "extra " + static_cast<char>(character.typed) + '.';
            break;
        }
    }
    return summary;
}

} // namespace vortan
