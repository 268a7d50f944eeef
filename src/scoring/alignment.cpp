// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/alignment.h"

#include "base/errors.h"
#include "scoring/compared_texts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace vortan {

namespace {

// The letters of a text without its separators, each with the group it came from.
struct GroupedLetters {
    std::string letters;
    std::vector<int> group;         // per letter
    std::vector<std::size_t> start; // per group: its first letter; one more entry at the end
};

GroupedLetters groupedLetters(std::string_view text)
{
    GroupedLetters grouped;
    grouped.letters.reserve(text.size());
    grouped.group.reserve(text.size());
    bool inGroup = false;
    for (const char c : text) {
        if (c == kGroupSeparator) {
            inGroup = false;
            continue;
        }
        if (!inGroup)
            grouped.start.push_back(grouped.letters.size());
        inGroup = true;
        grouped.group.push_back(static_cast<int>(grouped.start.size()) - 1);
        grouped.letters.push_back(c);
    }
    grouped.start.push_back(grouped.letters.size());
    return grouped;
}

int groupCount(const GroupedLetters& grouped)
{
    return static_cast<int>(grouped.start.size()) - 1;
}

std::string soundKeys(std::string_view letters)
{
    std::string keys(letters.size(), '\0');
    std::transform(letters.begin(), letters.end(), keys.begin(), [](char c) {
        return static_cast<char>(soundKey(static_cast<unsigned char>(c)));
    });
    return keys;
}

std::string_view groupKeys(const std::string& keys, const GroupedLetters& grouped, int group)
{
    const std::size_t first = grouped.start[static_cast<std::size_t>(group)];
    return std::string_view(keys).substr(first, grouped.start[group + 1u] - first);
}

// Groups this short match by chance too often to be taken for a moved group; and a group sent
// more often than this cannot be said to be written elsewhere (it also keeps the search short).
constexpr std::size_t kShortestMovedGroup = 3;
constexpr std::size_t kMostRepeatedMovedGroup = 4;

// Copied groups equal to a sent group that are out of order: the copied groups that equal a
// sent group and keep their order form the longest chain; the others that equal a sent group
// left out of it were written in another place. Of two equally long chains, `keepEarlier` takes
// the one with the earlier copied groups (the others written late), else the later ones.
// Returns (copy group, sent group) pairs.
std::vector<std::pair<int, int>> movedGroups(const GroupedLetters& sent,
                                             const std::string& sentKeys,
                                             const GroupedLetters& copy,
                                             const std::string& copyKeys, bool keepEarlier)
{
    std::unordered_map<std::string_view, std::vector<int>> sentGroupsOf;
    for (int g = 0; g < groupCount(sent); ++g) {
        const std::string_view keys = groupKeys(sentKeys, sent, g);
        if (keys.size() >= kShortestMovedGroup)
            sentGroupsOf[keys].push_back(g);
    }
    std::erase_if(sentGroupsOf,
                  [](const auto& entry) { return entry.second.size() > kMostRepeatedMovedGroup; });
    if (sentGroupsOf.empty())
        return {};
    const auto copyGroups = static_cast<std::size_t>(groupCount(copy));
    std::vector<const std::vector<int>*> candidates(copyGroups, nullptr);
    for (std::size_t k = 0; k < copyGroups; ++k) {
        const auto found = sentGroupsOf.find(groupKeys(copyKeys, copy, static_cast<int>(k)));
        if (found != sentGroupsOf.end())
            candidates[k] = &found->second;
    }

    // The longest chain of strictly rising values, the copied groups taken forwards (value: the
    // sent group) or backwards (value: minus the sent group). tails[l]: the element ending a
    // chain of l + 1 with the smallest value; before[e]: the element ahead of e in its chain.
    struct Element {
        std::size_t copyGroup;
        int sentGroup, value, before;
    };
    std::vector<Element> elements;
    std::vector<int> tails;
    for (std::size_t n = 0; n < copyGroups; ++n) {
        const std::size_t k = keepEarlier ? copyGroups - 1 - n : n;
        if (candidates[k] == nullptr)
            continue;
        std::vector<int> sentGroups = *candidates[k];
        // Largest value first, so that two of one copied group never chain.
        if (!keepEarlier)
            std::reverse(sentGroups.begin(), sentGroups.end());
        for (const int g : sentGroups) {
            const int value = keepEarlier ? -g : g;
            const auto place = std::partition_point(tails.begin(), tails.end(), [&](int e) {
                return elements[static_cast<std::size_t>(e)].value < value;
            });
            const int before = place == tails.begin() ? -1 : *(place - 1);
            elements.push_back({k, g, value, before});
            const int index = static_cast<int>(elements.size()) - 1;
            if (place == tails.end())
                tails.push_back(index);
            else
                *place = index;
        }
    }
    std::vector<bool> copyInChain(copyGroups, false);
    std::vector<bool> sentTaken(static_cast<std::size_t>(groupCount(sent)), false);
    for (int e = tails.empty() ? -1 : tails.back(); e >= 0;
         e = elements[static_cast<std::size_t>(e)].before) {
        const Element& element = elements[static_cast<std::size_t>(e)];
        copyInChain[element.copyGroup] = true;
        sentTaken[static_cast<std::size_t>(element.sentGroup)] = true;
    }
    std::vector<std::pair<int, int>> moved;
    for (std::size_t k = 0; k < copyGroups; ++k) {
        if (copyInChain[k] || candidates[k] == nullptr)
            continue;
        for (const int g : *candidates[k]) {
            if (!sentTaken[static_cast<std::size_t>(g)]) {
                sentTaken[static_cast<std::size_t>(g)] = true;
                moved.emplace_back(static_cast<int>(k), g);
                break;
            }
        }
    }
    return moved;
}

// The letter alignment. A cost compares, in this order: errors, wrong letters, group crossings
// (a pair whose sent letter starts a new sent group while its copied letter stays in the same
// copied group, or the other way round, counted against the pair before), stretches of missed
// or extra letters. Each count is below the number of letters of both texts, so four fields of
// that many bits hold them in one number: 64 bits for usual lengths, else 128.
__extension__ typedef unsigned __int128 WideCost;

template <typename Cost> struct CostFields {
    Cost error, wrong, crossing, opening, unreachable;

    explicit CostFields(unsigned bits)
        : error(Cost{1} << (3 * bits))
        , wrong(Cost{1} << (2 * bits))
        , crossing(Cost{1} << bits)
        , opening(1)
        , unreachable(Cost{1} << (4 * bits + 1))
    {
    }
};

// What the last step was. After missed (D) or extra (I) letters, whether a group boundary of the
// sent text (D1) or of the copy (I1) lay since the last pair. A missed letter next to an extra
// one is never best (one wrong letter costs less), so those steps are left out.
enum State : std::uint8_t { kP, kD0, kD1, kI0, kI1, kStateCount };

constexpr std::size_t kMaxCells = std::size_t{32} << 20; // two bytes of traceback each

// A candidate cost shifted up, with the rank that breaks ties in its lowest bits.
constexpr unsigned kRankBits = 3;
constexpr unsigned kRankMask = 7;
template <typename Cost> Cost ranked(Cost cost, unsigned rank)
{
    return cost << kRankBits | rank;
}

struct Band {
    std::ptrdiff_t low;  // lowest diagonal j - i kept
    std::ptrdiff_t high; // highest
    std::size_t width() const { return static_cast<std::size_t>(high - low + 1); }
};

// Every alignment of at most `edits` errors stays within this band: reaching diagonal k from
// diagonal 0 and then the last diagonal m - n takes |k| + |m - n - k| missed or extra letters.
Band bandFor(std::ptrdiff_t n, std::ptrdiff_t m, std::ptrdiff_t edits)
{
    const std::ptrdiff_t delta = m - n;
    const std::ptrdiff_t spare = (edits - std::abs(delta)) / 2;
    return {std::max(-n, std::min<std::ptrdiff_t>(0, delta) - spare),
            std::min(m, std::max<std::ptrdiff_t>(0, delta) + spare)};
}

// Whether a group begins at each letter; the start counts as a boundary on both sides, so that
// the first pair never crosses.
std::vector<bool> boundaries(const std::vector<int>& groups)
{
    std::vector<bool> starts(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i)
        starts[i] = i == 0 || groups[i] != groups[i - 1];
    return starts;
}

// One step of the traced alignment: indexes into the letters, -1 for no partner.
struct LetterPair {
    std::ptrdiff_t sent;
    std::ptrdiff_t copy;
};

template <typename Cost> class BandedAligner {
public:
    BandedAligner(std::string sentKeys, std::vector<int> sentGroups, std::string copyKeys,
                  std::vector<int> copyGroups, unsigned bits)
        : m_cost(bits)
        , m_sent(std::move(sentKeys))
        , m_copy(std::move(copyKeys))
        , m_sentStarts(boundaries(sentGroups))
        , m_copyStarts(boundaries(copyGroups))
    {
    }

    // The best alignment within the band and its error count.
    std::pair<std::vector<LetterPair>, std::size_t> run(const Band& band)
    {
        const auto n = static_cast<std::ptrdiff_t>(m_sent.size());
        const auto m = static_cast<std::ptrdiff_t>(m_copy.size());
        // A row never has more cells than the copy has letters and one: a band wider than that
        // (a short copy of a long text) is kept by column, so its size follows the copy.
        m_byColumn = band.width() > static_cast<std::size_t>(m + 1);
        const std::size_t width = m_byColumn ? static_cast<std::size_t>(m + 1) : band.width();
        if (static_cast<std::size_t>(n + 1) > kMaxCells / width)
            throw Error("The copy is too long and too different from the text to be checked");

        m_steps.assign(static_cast<std::size_t>(n + 1) * width, 0);
        // Slot d + 1 of a state's row holds diagonal band.low + d (by column: column d); the
        // slots at either end and outside the row's cells stay unreachable.
        const std::size_t stride = width + 2;
        // Where the cell above-left and the cell above lie, from this cell's slot.
        const std::size_t diagonalShift = m_byColumn ? 1 : 0;
        const Cost kError = m_cost.error, kWrong = m_cost.wrong, kCrossing = m_cost.crossing,
                   kOpening = m_cost.opening, kUnreachable = m_cost.unreachable;
        std::vector<Cost> previous(kStateCount * stride, kUnreachable);
        std::vector<Cost> current(kStateCount * stride, kUnreachable);

        for (std::ptrdiff_t i = 0; i <= n; ++i) {
            const std::ptrdiff_t jFirst = std::max<std::ptrdiff_t>(0, i + band.low);
            const std::ptrdiff_t jLast = std::min<std::ptrdiff_t>(m, i + band.high);
            const std::ptrdiff_t offset = m_byColumn ? 1 : 1 - i - band.low; // slot of column j
            // Only the slots outside this row's cells need clearing: the rest is written below.
            for (int state = 0; state < kStateCount; ++state) {
                Cost* row = current.data() + static_cast<std::size_t>(state) * stride;
                std::fill(row, row + std::max<std::ptrdiff_t>(0, jFirst + offset), kUnreachable);
                std::fill(row + std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(stride),
                                                         std::max(jFirst, jLast + 1) + offset),
                          row + stride, kUnreachable);
            }
            std::uint16_t* steps = m_steps.data() + static_cast<std::size_t>(i) * width;
            const bool sentStart = i > 0 && m_sentStarts[static_cast<std::size_t>(i - 1)];
            const char sentKey = i > 0 ? m_sent[static_cast<std::size_t>(i - 1)] : '\0';
            Cost* above[kStateCount];
            Cost* here[kStateCount];
            for (int state = 0; state < kStateCount; ++state) {
                above[state] = previous.data() + static_cast<std::size_t>(state) * stride;
                here[state] = current.data() + static_cast<std::size_t>(state) * stride;
            }
            for (std::ptrdiff_t j = jFirst; j <= jLast; ++j) {
                const auto slot = static_cast<std::size_t>(j + offset);
                // Each candidate carries its rank in its three lowest bits, so that one minimum
                // (branch-free) picks the cheapest and, of equal ones, the first in rank.
                Cost best[kStateCount];
                std::fill(std::begin(best), std::end(best), kUnreachable << kRankBits);
                if (i == 0 && j == 0)
                    best[kP] = 0;
                const bool copyStart = j > 0 && m_copyStarts[static_cast<std::size_t>(j - 1)];
                if (i > 0 && j > 0) {
                    // P, D0 and I0 carry no crossing of their own: only this pair's starts count.
                    const Cost pair =
                        (sentKey == m_copy[static_cast<std::size_t>(j - 1)] ? 0 : kError + kWrong);
                    const Cost plain = pair + (sentStart != copyStart ? kCrossing : 0);
                    const std::size_t diagonal = slot - diagonalShift;
                    best[kP] = std::min(
                        std::min(std::min(ranked(above[kP][diagonal] + plain, 0),
                                          ranked(above[kD0][diagonal] + plain, 1)),
                                 std::min(ranked(above[kI0][diagonal] + plain, 2),
                                          ranked(above[kD1][diagonal] + pair +
                                                     (copyStart ? 0 : kCrossing),
                                                 3))),
                        ranked(above[kI1][diagonal] + pair + (sentStart ? 0 : kCrossing), 4));
                }
                if (i > 0) {
                    const std::size_t up = slot + 1 - diagonalShift;
                    const Cost fromPair = ranked(above[kP][up] + kError + kOpening, kP);
                    const Cost fromMissed = ranked(above[kD0][up] + kError, kD0);
                    const Cost stillMissed = ranked(above[kD1][up] + kError, kD1);
                    if (sentStart) {
                        best[kD1] = std::min(std::min(fromPair, fromMissed), stillMissed);
                    } else {
                        best[kD0] = std::min(fromPair, fromMissed);
                        best[kD1] = stillMissed;
                    }
                }
                if (j > 0) {
                    const Cost fromPair = ranked(here[kP][slot - 1] + kError + kOpening, kP);
                    const Cost fromExtra = ranked(here[kI0][slot - 1] + kError, kI0);
                    const Cost stillExtra = ranked(here[kI1][slot - 1] + kError, kI1);
                    if (copyStart) {
                        best[kI1] = std::min(std::min(fromPair, fromExtra), stillExtra);
                    } else {
                        best[kI0] = std::min(fromPair, fromExtra);
                        best[kI1] = stillExtra;
                    }
                }
                // The pair's candidates were ranked in the order P, D0, I0, D1, I1; the others
                // by their state, which is that order too.
                constexpr std::array<unsigned, 8> pairBefore{kP, kD0, kI0, kD1, kI1, 0, 0, 0};
                unsigned from = pairBefore[static_cast<std::size_t>(best[kP] & kRankMask)];
                for (int state = 0; state < kStateCount; ++state) {
                    if (state != kP)
                        from |= static_cast<unsigned>(best[state] & kRankMask) << (3 * state);
                    here[state][slot] = std::min(best[state] >> kRankBits, kUnreachable);
                }
                steps[slot - 1] = static_cast<std::uint16_t>(from);
            }
            std::swap(previous, current);
        }
        const auto endSlot = static_cast<std::size_t>(m_byColumn ? m + 1 : m - n - band.low + 1);
        int endState = kP;
        for (int state = 1; state < kStateCount; ++state) {
            if (previous[state * stride + endSlot] < previous[endState * stride + endSlot])
                endState = state;
        }
        const Cost total = previous[static_cast<std::size_t>(endState) * stride + endSlot];
        return {traceBack(band, endState), static_cast<std::size_t>(total / kError)};
    }

private:
    std::vector<LetterPair> traceBack(const Band& band, int state) const
    {
        std::vector<LetterPair> pairs;
        pairs.reserve(std::max(m_sent.size(), m_copy.size()) + 16);
        auto i = static_cast<std::ptrdiff_t>(m_sent.size());
        auto j = static_cast<std::ptrdiff_t>(m_copy.size());
        const std::size_t width = m_byColumn ? m_copy.size() + 1 : band.width();
        while (i > 0 || j > 0) {
            const auto slot = static_cast<std::size_t>(m_byColumn ? j : j - i - band.low);
            const int before =
                (m_steps[static_cast<std::size_t>(i) * width + slot] >> (3 * state)) & 7;
            if (state == kP)
                pairs.push_back({--i, --j});
            else if (state == kD0 || state == kD1)
                pairs.push_back({--i, -1});
            else
                pairs.push_back({-1, --j});
            state = before;
        }
        std::reverse(pairs.begin(), pairs.end());
        return pairs;
    }

    CostFields<Cost> m_cost;
    std::string m_sent; // sound keys
    std::string m_copy;
    std::vector<bool> m_sentStarts;
    std::vector<bool> m_copyStarts;
    std::vector<std::uint16_t> m_steps; // per cell: three bits per state, the state before
    bool m_byColumn = false;            // the last run kept its cells by column, not diagonal
};

template <typename Cost>
std::pair<std::vector<LetterPair>, std::size_t>
alignLettersWith(std::string sentKeys, std::vector<int> sentGroups, std::string copyKeys,
                 std::vector<int> copyGroups, unsigned bits)
{
    const auto n = static_cast<std::ptrdiff_t>(sentKeys.size());
    const auto m = static_cast<std::ptrdiff_t>(copyKeys.size());
    BandedAligner<Cost> aligner(std::move(sentKeys), std::move(sentGroups), std::move(copyKeys),
                                std::move(copyGroups), bits);
    // Widen the band until the best alignment in it is cheap enough to have fitted in any case.
    // The alignment found is itself an upper bound: a band for its cost is always enough. A
    // narrow band usually finds nearly the best already, so its cost is the next width unless
    // it is far beyond this one.
    std::ptrdiff_t edits = std::abs(m - n) + 32;
    for (;;) {
        const Band band = bandFor(n, m, edits);
        auto [pairs, found] = aligner.run(band);
        const auto cost = static_cast<std::ptrdiff_t>(found);
        if (cost <= edits || (band.low == -n && band.high == m))
            return {std::move(pairs), found};
        edits = std::min(cost, edits * 16);
    }
}

std::pair<std::vector<LetterPair>, std::size_t> alignLetters(std::string sentKeys,
                                                             std::vector<int> sentGroups,
                                                             std::string copyKeys,
                                                             std::vector<int> copyGroups)
{
    unsigned bits = 1;
    while ((std::size_t{1} << bits) <= sentKeys.size() + copyKeys.size() + 1)
        ++bits;
    // The costs reach 2^(4 bits + 2) and carry kRankBits more while compared.
    if (4 * bits + 2 + kRankBits <= 64)
        return alignLettersWith<std::uint64_t>(std::move(sentKeys), std::move(sentGroups),
                                               std::move(copyKeys), std::move(copyGroups), bits);
    return alignLettersWith<WideCost>(std::move(sentKeys), std::move(sentGroups),
                                      std::move(copyKeys), std::move(copyGroups), 30);
}

// Keeps the letters of a text outside the given groups; `kept` maps each kept letter back.
std::pair<std::string, std::vector<int>> lettersOutside(const std::string& keys,
                                                        const GroupedLetters& grouped,
                                                        const std::vector<bool>& left,
                                                        std::vector<std::size_t>& kept)
{
    std::string letters;
    std::vector<int> groups;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (left[static_cast<std::size_t>(grouped.group[i])])
            continue;
        letters.push_back(keys[i]);
        groups.push_back(grouped.group[i]);
        kept.push_back(i);
    }
    return {std::move(letters), std::move(groups)};
}

// The sent group of each extra letter: the one its neighbour in the same copied group is
// paired with (the one before first), else the sent group last passed.
void placeExtraLetters(std::vector<AlignedPair>& pairs)
{
    std::vector<int> nextPairedGroup(pairs.size() + 1, -1); // of the next pair, same copy group
    for (std::size_t p = pairs.size(); p-- > 0;) {
        const AlignedPair& pair = pairs[p];
        if (pair.sent != 0 && pair.typed != 0)
            nextPairedGroup[p] = pair.sentGroup;
        else if (pair.sent == 0 && p + 1 < pairs.size() && pairs[p + 1].copyGroup == pair.copyGroup)
            nextPairedGroup[p] = nextPairedGroup[p + 1];
    }
    int lastSentGroup = 0;
    const AlignedPair* lastTyped = nullptr;
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        AlignedPair& pair = pairs[p];
        if (pair.sent == 0) {
            if (lastTyped != nullptr && lastTyped->copyGroup == pair.copyGroup)
                pair.sentGroup = lastTyped->sentGroup;
            else if (nextPairedGroup[p] >= 0)
                pair.sentGroup = nextPairedGroup[p];
            else
                pair.sentGroup = lastSentGroup;
        } else {
            lastSentGroup = pair.sentGroup;
        }
        if (pair.typed != 0)
            lastTyped = &pair;
    }
}

// The alignment of the letters outside the moved groups, with the moved groups put back where
// they were sent; and its error count.
std::pair<Alignment, std::size_t>
alignAround(const GroupedLetters& sent, const std::string& sentKeys, const GroupedLetters& copy,
            const std::string& copyKeys, const std::vector<std::pair<int, int>>& moved)
{
    Alignment alignment;
    alignment.sentGroupCount = groupCount(sent);
    alignment.copyGroupCount = groupCount(copy);
    std::vector<bool> sentMoved(static_cast<std::size_t>(groupCount(sent)), false);
    std::vector<bool> copyMoved(static_cast<std::size_t>(groupCount(copy)), false);
    for (const auto& [k, g] : moved) {
        copyMoved[static_cast<std::size_t>(k)] = true;
        sentMoved[static_cast<std::size_t>(g)] = true;
    }

    std::vector<std::size_t> sentKept, copyKept;
    auto [sentLetters, sentGroups] = lettersOutside(sentKeys, sent, sentMoved, sentKept);
    auto [copyLetters, copyGroups] = lettersOutside(copyKeys, copy, copyMoved, copyKept);
    const auto [letterPairs, errors] = alignLetters(std::move(sentLetters), std::move(sentGroups),
                                                    std::move(copyLetters), std::move(copyGroups));
    std::vector<AlignedPair> inPlace;
    inPlace.reserve(letterPairs.size());
    std::vector<int> sentGroupOfCopyLetter(copy.letters.size(), -1);
    for (const LetterPair& step : letterPairs) {
        AlignedPair pair;
        if (step.sent >= 0) {
            const std::size_t i = sentKept[static_cast<std::size_t>(step.sent)];
            pair.sent = static_cast<unsigned char>(sent.letters[i]);
            pair.sentGroup = sent.group[i];
        }
        if (step.copy >= 0) {
            const std::size_t j = copyKept[static_cast<std::size_t>(step.copy)];
            pair.typed = static_cast<unsigned char>(copy.letters[j]);
            pair.copyGroup = copy.group[j];
        }
        inPlace.push_back(pair);
    }
    placeExtraLetters(inPlace);
    for (std::size_t p = 0; p < letterPairs.size(); ++p) {
        if (letterPairs[p].copy >= 0)
            sentGroupOfCopyLetter[copyKept[static_cast<std::size_t>(letterPairs[p].copy)]] =
                inPlace[p].sentGroup;
    }

    // The moved groups, each where it was sent.
    std::vector<std::pair<int, int>> bySentGroup = moved;
    std::sort(bySentGroup.begin(), bySentGroup.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    auto next = bySentGroup.begin();
    const auto placeMovedBefore = [&](int sentGroup) {
        for (; next != bySentGroup.end() && next->second < sentGroup; ++next) {
            const auto [k, g] = *next;
            MovedGroup group{g, k, -1, {}};
            for (std::size_t j = copy.start[static_cast<std::size_t>(k)]; j-- > 0;) {
                if (sentGroupOfCopyLetter[j] >= 0) {
                    group.writtenAfterGroup = sentGroupOfCopyLetter[j];
                    break;
                }
            }
            for (std::size_t i = sent.start[static_cast<std::size_t>(g)]; i < sent.start[g + 1u];
                 ++i) {
                const std::size_t j = copy.start[static_cast<std::size_t>(k)] +
                                      (i - sent.start[static_cast<std::size_t>(g)]);
                alignment.pairs.push_back({static_cast<unsigned char>(sent.letters[i]),
                                           static_cast<unsigned char>(copy.letters[j]), g, k,
                                           true});
                group.letters.push_back(sent.letters[i]);
            }
            alignment.moved.push_back(std::move(group));
        }
    };
    alignment.pairs.reserve(inPlace.size() + copy.letters.size());
    for (const AlignedPair& pair : inPlace) {
        if (pair.sent != 0)
            placeMovedBefore(pair.sentGroup);
        alignment.pairs.push_back(pair);
    }
    placeMovedBefore(groupCount(sent));
    return {std::move(alignment), errors};
}

} // namespace

Alignment alignCopy(std::string_view sentText, std::string_view copyText)
{
    const GroupedLetters sent = groupedLetters(sentText);
    const GroupedLetters copy = groupedLetters(copyText);
    if (copy.letters.size() > 2 * sent.letters.size() + kMaxCopyExcess) {
        throw Error("The copy has " + std::to_string(copy.letters.size()) +
                    " characters, far more than the " + std::to_string(sent.letters.size()) +
                    " sent: it is not checked");
    }
    const std::string sentKeys = soundKeys(sent.letters);
    const std::string copyKeys = soundKeys(copy.letters);
    // Which of two equally long chains of groups in order is right shows in the letters around
    // them: of the two readings, the one with fewer errors, then fewer moved groups, stands.
    const auto late = movedGroups(sent, sentKeys, copy, copyKeys, true);
    auto best = alignAround(sent, sentKeys, copy, copyKeys, late);
    if (late.empty())
        return std::move(best.first);
    const auto early = movedGroups(sent, sentKeys, copy, copyKeys, false);
    if (early != late) {
        auto other = alignAround(sent, sentKeys, copy, copyKeys, early);
        if (std::pair(other.second, early.size()) < std::pair(best.second, late.size()))
            best = std::move(other);
    }
    return std::move(best.first);
}

} // namespace vortan
