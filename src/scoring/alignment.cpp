// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/alignment.h"

#include "base/errors.h"
#include "scoring/compared_texts.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace vortan {

namespace {

// A cost is (edits, unpaired separators) compared in that order, packed into one number as
// edits * weight + unpaired, the weight exceeding any count of unpaired separators.
using Cost = std::uint64_t;
constexpr Cost kUnreachable = std::numeric_limits<Cost>::max() / 4;

enum Step : std::uint8_t { kPair, kMissed, kExtra };

constexpr std::size_t kMaxCells = std::size_t{64} << 20; // one byte of traceback each

struct Band {
    std::ptrdiff_t low;  // lowest diagonal j - i kept
    std::ptrdiff_t high; // highest
    std::size_t width() const { return static_cast<std::size_t>(high - low + 1); }
};

// Every alignment of at most `edits` edits stays within this band: reaching diagonal k from
// diagonal 0 and then the last diagonal m - n takes |k| + |m - n - k| insertions or omissions.
Band bandFor(std::ptrdiff_t n, std::ptrdiff_t m, std::ptrdiff_t edits)
{
    const std::ptrdiff_t delta = m - n;
    const std::ptrdiff_t spare = (edits - std::abs(delta)) / 2;
    return {std::max(-n, std::min<std::ptrdiff_t>(0, delta) - spare),
            std::min(m, std::max<std::ptrdiff_t>(0, delta) + spare)};
}

class BandedAligner {
public:
    BandedAligner(std::string_view sent, std::string_view copy)
        : m_sent(sent)
        , m_copy(copy)
        , m_weight(sent.size() + copy.size() + 1)
        , m_sentKeys(keysOf(sent))
        , m_copyKeys(keysOf(copy))
    {
    }

    // The best alignment within the band and its edit count.
    std::pair<std::vector<AlignedPair>, std::size_t> run(const Band& band)
    {
        const auto n = static_cast<std::ptrdiff_t>(m_sent.size());
        const auto m = static_cast<std::ptrdiff_t>(m_copy.size());
        const std::size_t width = band.width();
        if (static_cast<std::size_t>(n + 1) > kMaxCells / width)
            throw Error("The copy is too long and too different from the text to be checked");

        m_steps.assign(static_cast<std::size_t>(n + 1) * width, kPair);
        // Slot d + 1 holds diagonal band.low + d; slots outside the row's cells stay unreachable.
        std::vector<Cost> previous(width + 2, kUnreachable);
        std::vector<Cost> current(width + 2, kUnreachable);
        std::vector<Cost> extraCost(static_cast<std::size_t>(m) + 1);
        for (std::ptrdiff_t j = 1; j <= m; ++j)
            extraCost[j] = m_weight + (m_copyKeys[j - 1] == kSeparatorKey ? 1 : 0);

        for (std::ptrdiff_t i = 0; i <= n; ++i) {
            const std::ptrdiff_t jFirst = std::max<std::ptrdiff_t>(0, i + band.low);
            const std::ptrdiff_t jLast = std::min<std::ptrdiff_t>(m, i + band.high);
            const std::ptrdiff_t offset = 1 - i - band.low; // slot of column j is j + offset
            std::fill(current.begin(), current.begin() + (jFirst + offset), kUnreachable);
            std::fill(current.begin() + (jLast + offset + 1), current.end(), kUnreachable);
            std::uint8_t* steps = m_steps.data() + static_cast<std::size_t>(i) * width;
            Cost* here = current.data();
            const Cost* above = previous.data(); // the row above: column j at slot j + offset + 1
            std::ptrdiff_t j = jFirst;
            if (i == 0) {
                here[offset] = 0;
                for (j = 1; j <= jLast; ++j) {
                    here[j + offset] = here[j + offset - 1] + extraCost[j];
                    steps[j + offset - 1] = kExtra;
                }
                std::swap(previous, current);
                continue;
            }
            const std::uint16_t sentKey = m_sentKeys[i - 1];
            const Cost missedCost = m_weight + (sentKey == kSeparatorKey ? 1 : 0);
            if (j == 0) {
                here[offset] = above[offset + 1] + missedCost;
                steps[offset - 1] = kMissed;
                ++j;
            }
            for (; j <= jLast; ++j) {
                const std::ptrdiff_t slot = j + offset;
                const std::uint16_t typedKey = m_copyKeys[j - 1];
                const Cost pairCost = sentKey == typedKey                           ? 0
                                      : ((sentKey | typedKey) & kSeparatorKey) != 0 ? kUnreachable
                                                                                    : m_weight;
                // Equal costs keep the first: pair, then missed, then extra.
                Cost best = above[slot] + pairCost;
                std::uint8_t step = kPair;
                const Cost missed = above[slot + 1] + missedCost;
                if (missed < best) {
                    best = missed;
                    step = kMissed;
                }
                const Cost extra = here[slot - 1] + extraCost[j];
                if (extra < best) {
                    best = extra;
                    step = kExtra;
                }
                here[slot] = std::min(best, kUnreachable);
                steps[slot - 1] = step;
            }
            std::swap(previous, current);
        }
        const Cost total = previous[static_cast<std::size_t>(m - n - band.low + 1)];
        return {traceBack(band), static_cast<std::size_t>(total / m_weight)};
    }

private:
    std::vector<AlignedPair> traceBack(const Band& band) const
    {
        std::vector<AlignedPair> pairs;
        pairs.reserve(std::max(m_sent.size(), m_copy.size()) + 16);
        auto i = static_cast<std::ptrdiff_t>(m_sent.size());
        auto j = static_cast<std::ptrdiff_t>(m_copy.size());
        const std::size_t width = band.width();
        while (i > 0 || j > 0) {
            const auto slot = static_cast<std::size_t>(j - i - band.low);
            switch (m_steps[static_cast<std::size_t>(i) * width + slot]) {
            case kPair:
                pairs.push_back({static_cast<unsigned char>(m_sent[--i]),
                                 static_cast<unsigned char>(m_copy[--j])});
                break;
            case kMissed:
                pairs.push_back({static_cast<unsigned char>(m_sent[--i]), 0});
                break;
            default:
                pairs.push_back({0, static_cast<unsigned char>(m_copy[--j])});
                break;
            }
        }
        std::reverse(pairs.begin(), pairs.end());
        return pairs;
    }

    // What the cells compare: the sound of a letter, or the separator.
    static constexpr std::uint16_t kSeparatorKey = 0x100;
    static std::vector<std::uint16_t> keysOf(std::string_view text)
    {
        std::vector<std::uint16_t> keys(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            keys[i] = text[i] == kGroupSeparator ? kSeparatorKey : soundKey(text[i]);
        return keys;
    }

    std::string_view m_sent;
    std::string_view m_copy;
    Cost m_weight;
    std::vector<std::uint16_t> m_sentKeys;
    std::vector<std::uint16_t> m_copyKeys;
    std::vector<std::uint8_t> m_steps;
};

} // namespace

std::vector<AlignedPair> alignCopy(std::string_view sent, std::string_view copy)
{
    const auto n = static_cast<std::ptrdiff_t>(sent.size());
    const auto m = static_cast<std::ptrdiff_t>(copy.size());
    BandedAligner aligner(sent, copy);
    // Widen the band until the best alignment in it is cheap enough to have fitted in any case.
    // The alignment found is itself an upper bound: a band for its cost is always enough.
    std::ptrdiff_t edits = std::abs(m - n) + 32;
    for (;;) {
        const Band band = bandFor(n, m, edits);
        auto [pairs, found] = aligner.run(band);
        const auto cost = static_cast<std::ptrdiff_t>(found);
        if (cost <= edits || (band.low == -n && band.high == m))
            return std::move(pairs);
        edits = std::min(cost, edits * 4);
    }
}

} // namespace vortan
