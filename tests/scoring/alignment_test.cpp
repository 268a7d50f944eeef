// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "scoring/alignment.h"
#include "scoring/compared_texts.h"

#include <gtest/gtest.h>

#include <random>

using namespace vortan;

namespace {

struct Cost {
    long edits = 0;
    long unpairedSeparators = 0;
    auto operator<=>(const Cost&) const = default;
};

// The cost of a given alignment, and a check that it spells out both texts.
Cost costOf(const std::vector<AlignedPair>& pairs, std::string_view sent, std::string_view copy)
{
    Cost cost;
    std::string sentBack, copyBack;
    for (const AlignedPair& p : pairs) {
        if (p.sent != 0)
            sentBack += static_cast<char>(p.sent);
        if (p.typed != 0)
            copyBack += static_cast<char>(p.typed);
        const bool sentSeparator = p.sent == kGroupSeparator;
        const bool typedSeparator = p.typed == kGroupSeparator;
        EXPECT_FALSE(p.sent != 0 && p.typed != 0 && sentSeparator != typedSeparator)
            << "a letter paired with a separator";
        if (p.sent == 0 || p.typed == 0 || soundKey(p.sent) != soundKey(p.typed))
            ++cost.edits;
        if ((sentSeparator || typedSeparator) && !(sentSeparator && typedSeparator))
            ++cost.unpairedSeparators;
    }
    EXPECT_EQ(sentBack, sent);
    EXPECT_EQ(copyBack, copy);
    return cost;
}

// The best cost over the whole matrix, the plain way.
Cost referenceCost(std::string_view sent, std::string_view copy)
{
    const std::size_t n = sent.size(), m = copy.size();
    const auto isSeparator = [](char c) { return c == kGroupSeparator; };
    const Cost unreachable{1L << 40, 0};
    std::vector<std::vector<Cost>> d(n + 1, std::vector<Cost>(m + 1, unreachable));
    d[0][0] = {};
    for (std::size_t i = 0; i <= n; ++i) {
        for (std::size_t j = 0; j <= m; ++j) {
            Cost& best = d[i][j];
            if (i > 0 && j > 0 && isSeparator(sent[i - 1]) == isSeparator(copy[j - 1])) {
                Cost c = d[i - 1][j - 1];
                c.edits += soundKey(sent[i - 1]) != soundKey(copy[j - 1]) ? 1 : 0;
                best = std::min(best, c);
            }
            if (i > 0) {
                Cost c = d[i - 1][j];
                c.edits += 1;
                c.unpairedSeparators += isSeparator(sent[i - 1]) ? 1 : 0;
                best = std::min(best, c);
            }
            if (j > 0) {
                Cost c = d[i][j - 1];
                c.edits += 1;
                c.unpairedSeparators += isSeparator(copy[j - 1]) ? 1 : 0;
                best = std::min(best, c);
            }
        }
    }
    return d[n][m];
}

std::string randomGroups(std::mt19937& random, int groups)
{
    const std::string_view chars = "abst5h";
    std::string text;
    for (int g = 0; g < groups; ++g) {
        if (g > 0)
            text += kGroupSeparator;
        for (int i = 0; i < 5; ++i)
            text += chars[random() % chars.size()];
    }
    return text;
}

// A copy with the given share of edits: letters changed, dropped or added, blanks lost or
// added, whole groups dropped.
std::string damaged(std::mt19937& random, const std::string& sent, double errorRate)
{
    std::uniform_real_distribution<double> unit(0, 1);
    std::string copy;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const char c = sent[i];
        if (c == kGroupSeparator && unit(random) < errorRate / 4) {
            i = std::min(sent.find(kGroupSeparator, i + 1), sent.size()) - 1; // drop a group
            continue;
        }
        if (unit(random) >= errorRate) {
            copy += c;
            continue;
        }
        switch (random() % 4) {
        case 0: // wrong
            copy += c == kGroupSeparator ? c : "abst5hx"[random() % 7];
            break;
        case 1: // missed
            break;
        case 2: // extra
            copy += std::string{c, "abst5hx "[random() % 8]};
            break;
        default: // separator lost or added
            copy += c == kGroupSeparator ? std::string() : std::string{c, kGroupSeparator};
        }
    }
    // The scorer receives compared texts: single separators, none at the ends.
    return copiedText(copy);
}

} // namespace

TEST(Alignment, CheapestAlignmentAsTheWholeMatrixFindsIt)
{
    // The band widens only as far as the edits need: compare with the whole matrix on random
    // copies from nearly right to nearly unrelated, late starts and early stops.
    std::mt19937 random(20240607);
    for (int round = 0; round < 60; ++round) {
        const std::string sent = randomGroups(random, 1 + static_cast<int>(random() % 40));
        std::string copy = damaged(random, sent, (round % 10) / 10.0);
        if (round % 7 == 0)
            copy = copy.substr(copy.size() / 3); // late start
        if (round % 11 == 0)
            copy = copy.substr(0, copy.size() / 2); // stopped early
        const std::vector<AlignedPair> pairs = alignCopy(sent, copy);
        ASSERT_EQ(costOf(pairs, sent, copy), referenceCost(sent, copy))
            << "sent \"" << sent << "\"\ncopy \"" << copy << "\"";
    }
}

TEST(Alignment, TooLongAndTooDifferentIsAnError)
{
    // Two unrelated texts of 10 000 characters would need the whole 100-million-cell matrix.
    const std::string sent(10000, 'a');
    const std::string copy(10000, 'b');
    EXPECT_THROW(alignCopy(sent, copy), Error);
    // As long but close: the band stays narrow.
    EXPECT_EQ(alignCopy(sent, sent).size(), sent.size());
}
