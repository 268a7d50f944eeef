// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "scoring/alignment.h"
#include "scoring/compared_texts.h"
#include "synthesis/morse_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <tuple>

using namespace vortan;

namespace {

// A label as the learner would read it: kind, sent group, sent letter, typed letter.
using Label = std::tuple<char, int, char, char>;

std::vector<Label> labelsOf(const Alignment& alignment)
{
    std::vector<Label> labels;
    for (const AlignedPair& p : alignment.pairs) {
        if (p.moved)
            continue;
        if (p.sent == 0)
            labels.emplace_back('+', p.sentGroup, 0, p.typed);
        else if (p.typed == 0)
            labels.emplace_back('-', p.sentGroup, p.sent, 0);
        else if (soundKey(p.sent) != soundKey(p.typed))
            labels.emplace_back('*', p.sentGroup, p.sent, p.typed);
    }
    for (const MovedGroup& moved : alignment.moved)
        labels.emplace_back('>', moved.sentGroup, 0, 0);
    std::sort(labels.begin(), labels.end());
    return labels;
}

std::string join(const std::vector<std::string>& groups)
{
    std::string text;
    for (const std::string& group : groups) {
        if (!group.empty())
            text += (text.empty() ? "" : " ") + group;
    }
    return text;
}

// Letters whose code differs from this one's by one element: one flipped, added or dropped.
std::string similarLetters(char letter)
{
    const std::string_view pattern = patternFor(static_cast<unsigned char>(letter));
    const std::string_view code = pattern.substr(0, pattern.find(' '));
    std::string similar;
    for (const char other : std::string_view("abcdefghijklmnopqrstuvwxyz0123456789")) {
        const std::string_view otherPattern = patternFor(static_cast<unsigned char>(other));
        const std::string_view otherCode = otherPattern.substr(0, otherPattern.find(' '));
        int differences = 0;
        if (otherCode.size() == code.size()) {
            for (std::size_t i = 0; i < code.size(); ++i)
                differences += code[i] != otherCode[i];
        } else if (otherCode.size() + 1 == code.size() || code.size() + 1 == otherCode.size()) {
            const std::string_view longer = code.size() > otherCode.size() ? code : otherCode;
            const std::string_view shorter = code.size() > otherCode.size() ? otherCode : code;
            differences = longer.starts_with(shorter) || longer.ends_with(shorter) ? 1 : 2;
        } else {
            differences = 2;
        }
        if (differences == 1)
            similar.push_back(other);
    }
    return similar;
}

// One random exercise with a few known edits, each on groups of its own, and the labels those
// edits should get.
struct EditedExercise {
    std::string sent;
    std::string copy;
    std::vector<Label> expected;
    std::string edits; // for a failure message
};

EditedExercise editedExercise(std::mt19937& random)
{
    const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::shuffle(alphabet.begin(), alphabet.end(), random);
    const std::string set = alphabet.substr(0, 8 + below(29));
    const std::size_t groupCount = 3 + below(10);
    std::vector<std::string> sent(groupCount);
    for (std::string& group : sent) {
        const std::size_t length = below(4) == 0 ? 3 + below(4) : 5;
        for (std::size_t i = 0; i < length; ++i)
            group += set[below(set.size())];
    }

    EditedExercise exercise;
    exercise.sent = join(sent);
    // The copy as (sent group it stands for, text) so that edits keep their places.
    std::vector<std::pair<int, std::string>> copy;
    for (std::size_t g = 0; g < groupCount; ++g)
        copy.emplace_back(static_cast<int>(g), sent[g]);
    // Edits keep apart: next to an edited group another edit could read as a different one.
    std::vector<bool> touched(groupCount, false);
    const auto isFree = [&](std::size_t g) {
        return !touched[g] && (g == 0 || !touched[g - 1]) &&
               (g + 1 == groupCount || !touched[g + 1]);
    };
    const auto pickGroup = [&]() -> int {
        for (int tries = 0; tries < 20; ++tries) {
            const std::size_t g = below(groupCount);
            if (isFree(g)) {
                touched[g] = true;
                return static_cast<int>(g);
            }
        }
        return -1;
    };
    const auto placeOf = [&](int g) {
        return static_cast<std::size_t>(
            std::find_if(copy.begin(), copy.end(), [&](const auto& c) { return c.first == g; }) -
            copy.begin());
    };
    const int editCount = 1 + static_cast<int>(below(3));
    for (int e = 0; e < editCount; ++e) {
        const int g = pickGroup();
        if (g < 0)
            break;
        std::string& text = copy[placeOf(g)].second;
        switch (below(7)) {
        case 0: // drop the group
            for (const char c : text)
                exercise.expected.emplace_back('-', g, c, 0);
            text.clear();
            exercise.edits += "drop " + std::to_string(g) + "; ";
            break;
        case 1: { // write it elsewhere
            const std::size_t to = below(copy.size() + 1);
            const std::size_t from = placeOf(g);
            // Written just before the group ahead of it is that group written late.
            if (to + 1 >= from && to <= from + 1)
                break;
            const bool besideFree = (to == 0 || copy[to - 1].first < 0 ||
                                     isFree(static_cast<std::size_t>(copy[to - 1].first))) &&
                                    (to == copy.size() || copy[to].first < 0 ||
                                     isFree(static_cast<std::size_t>(copy[to].first)));
            if (!besideFree)
                break;
            for (const std::size_t beside : {to - 1, to}) {
                if (beside < copy.size() && copy[beside].first >= 0)
                    touched[static_cast<std::size_t>(copy[beside].first)] = true;
            }
            auto moved = copy[from];
            copy.erase(copy.begin() + static_cast<std::ptrdiff_t>(from));
            copy.insert(copy.begin() + static_cast<std::ptrdiff_t>(to > from ? to - 1 : to), moved);
            exercise.expected.emplace_back('>', g, 0, 0);
            exercise.edits += "move " + std::to_string(g) + " to " + std::to_string(to) + "; ";
            break;
        }
        case 2: { // an extra group after this one
            std::string extra;
            for (int i = 0; i < 5; ++i)
                extra += set[below(set.size())];
            copy.insert(copy.begin() + static_cast<std::ptrdiff_t>(placeOf(g)) + 1, {-1, extra});
            for (const char c : extra)
                exercise.expected.emplace_back('+', g, 0, c);
            exercise.edits += "extra group after " + std::to_string(g) + "; ";
            break;
        }
        case 3: { // a letter heard as a similar one
            const std::size_t i = below(text.size());
            const std::string similar = similarLetters(text[i]);
            const char typed = similar[below(similar.size())];
            exercise.expected.emplace_back('*', g, text[i], typed);
            exercise.edits += "wrong in " + std::to_string(g) + "; ";
            text[i] = typed;
            break;
        }
        case 4: { // a letter missed
            const std::size_t i = below(text.size());
            exercise.expected.emplace_back('-', g, text[i], 0);
            text.erase(i, 1);
            exercise.edits += "missed in " + std::to_string(g) + "; ";
            break;
        }
        case 5: { // a letter added
            const char typed = set[below(set.size())];
            text.insert(below(text.size() + 1), 1, typed);
            exercise.expected.emplace_back('+', g, 0, typed);
            exercise.edits += "extra in " + std::to_string(g) + "; ";
            break;
        }
        default: { // the blank after this group one letter early
            const std::size_t place = placeOf(g);
            if (place + 1 >= copy.size() || text.size() < 2 || copy[place + 1].first != g + 1 ||
                !isFree(static_cast<std::size_t>(g + 1)))
                break;
            touched[static_cast<std::size_t>(g + 1)] = true;
            copy[place + 1].second.insert(0, 1, text.back());
            text.pop_back();
            exercise.edits += "space moved in " + std::to_string(g) + "; ";
            break;
        }
        }
    }
    std::vector<std::string> copyTexts;
    for (const auto& [group, text] : copy)
        copyTexts.push_back(text);
    exercise.copy = join(copyTexts);
    std::sort(exercise.expected.begin(), exercise.expected.end());
    return exercise;
}

std::string describe(const std::vector<Label>& labels)
{
    std::string text;
    for (const auto& [kind, group, sent, typed] : labels) {
        text += kind + std::to_string(group);
        text += sent != 0 ? sent : '_';
        text += typed != 0 ? typed : '_';
        text += ' ';
    }
    return text;
}

} // namespace

TEST(Alignment, LabelsRecoverKnownEdits)
{
    // Copies made from known edits (a group dropped, moved or added, a letter heard as a
    // similar one, dropped or added, a blank moved) get the labels of those edits.
    std::mt19937 random(20261207);
    constexpr int kExercises = 10000;
    int recovered = 0;
    int cheaper = 0; // labels with fewer errors than the edits made: that reading stands
    int shown = 0;
    for (int n = 0; n < kExercises; ++n) {
        const EditedExercise exercise = editedExercise(random);
        const std::vector<Label> labels = labelsOf(alignCopy(exercise.sent, exercise.copy));
        const auto errors = [](const std::vector<Label>& l) {
            return std::count_if(l.begin(), l.end(),
                                 [](const Label& x) { return std::get<0>(x) != '>'; });
        };
        if (labels == exercise.expected) {
            ++recovered;
        } else if (errors(labels) < errors(exercise.expected)) {
            ++cheaper;
        } else if (shown++ < 10) {
            std::cout << "not recovered: sent \"" << exercise.sent << "\" copy \"" << exercise.copy
                      << "\" edits " << exercise.edits << "\n  expected "
                      << describe(exercise.expected) << "\n  labelled " << describe(labels) << '\n';
        }
    }
    const double share = 100.0 * recovered / kExercises;
    std::cout << "recovered " << recovered << " of " << kExercises << " (" << share
              << " %); read with fewer errors than made: " << cheaper
              << "; others: " << kExercises - recovered - cheaper << '\n';
    EXPECT_GE(share, 99.0);
}

TEST(Alignment, TooLongOrTooDifferentIsAnError)
{
    // Two unrelated texts of 6 000 letters would need the whole 36-million-cell matrix.
    const std::string sent(10000, 'a');
    EXPECT_THROW(alignCopy(std::string(6000, 'a'), std::string(6000, 'b')), Error);
    // As long but close: the band stays narrow.
    EXPECT_EQ(alignCopy(sent, sent).pairs.size(), sent.size());
    // A short copy of a long text (Play stopped early, a learner who gave up) is scored: the
    // cells follow the copy's length, not the text's.
    std::string longText;
    for (int group = 0; longText.size() < 60000; ++group)
        longText += std::string(5, static_cast<char>('a' + group % 26)) + ' ';
    for (const std::size_t copied : {5u, 23u, 120u}) {
        const Alignment alignment = alignCopy(longText, longText.substr(0, copied));
        const auto missed = std::count_if(alignment.pairs.begin(), alignment.pairs.end(),
                                          [](const AlignedPair& p) { return p.typed == 0; });
        EXPECT_EQ(alignment.pairs.size(), 50000u) << copied;
        EXPECT_EQ(missed, 50000 - static_cast<long>(copied - copied / 6)) << copied;
    }
    // A pasted megabyte against a short text is refused before any alignment.
    EXPECT_THROW(alignCopy("abcde fghij", std::string(1 << 20, 'x')), Error);
    EXPECT_NO_THROW(alignCopy("abcde fghij", std::string(20 + kMaxCopyExcess, 'x')));
}
