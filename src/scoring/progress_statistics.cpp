// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/progress_statistics.h"

#include <algorithm>

namespace vortan {

std::string outcomePairs(const CopyScore& score)
{
    std::string pairs;
    pairs.reserve(score.characters.size() * 2);
    for (const ScoredCharacter& character : score.characters) {
        pairs.push_back(static_cast<char>(character.sent));
        pairs.push_back(static_cast<char>(character.typed));
    }
    return pairs;
}

double RecentSamples::accuracy() const
{
    return samples == 0 ? 0.0 : static_cast<double>(correct) / samples;
}

bool RecentSamples::reaches(int percent, int minimum) const
{
    return samples >= minimum && samples > 0 && correct * 100LL >= 1LL * percent * samples;
}

ProgressAccumulator::ProgressAccumulator(int recentWindow)
    : m_window(recentWindow)
    , m_wrong(256 * 256, 0)
    , m_recentWrong(256 * 256, 0)
{
}

void ProgressAccumulator::addRecent(unsigned char sent, unsigned char typed)
{
    RecentSamples& recent = m_recent[sent];
    if (recent.samples < m_window) {
        ++recent.samples;
        recent.correct += typed == sent ? 1 : 0;
        if (typed != 0 && typed != sent)
            ++m_recentWrong[sent * 256u + typed];
    }
}

void ProgressAccumulator::addOutcomes(unsigned char sent, unsigned char typed, int count)
{
    if (sent == 0) {
        m_totals[typed].extra += count;
        return;
    }
    Totals& totals = m_totals[sent];
    totals.sent += count;
    if (typed == 0)
        totals.missed += count;
    else if (typed == sent)
        totals.correct += count;
    else
        m_wrong[sent * 256u + typed] += count;
}

void ProgressAccumulator::addCheck(std::string_view pairs)
{
    // Within a check the last character is the newest sample.
    for (std::size_t i = pairs.size(); i >= 2; i -= 2) {
        const auto sent = static_cast<unsigned char>(pairs[i - 2]);
        const auto typed = static_cast<unsigned char>(pairs[i - 1]);
        addOutcomes(sent, typed, 1);
        if (sent != 0)
            addRecent(sent, typed);
    }
}

bool ProgressAccumulator::addRecentPairs(std::string_view pairs)
{
    for (std::size_t i = pairs.size(); i >= 2; i -= 2) {
        const auto sent = static_cast<unsigned char>(pairs[i - 2]);
        if (sent != 0)
            addRecent(sent, static_cast<unsigned char>(pairs[i - 1]));
    }
    return recentComplete();
}

bool ProgressAccumulator::recentComplete() const
{
    for (int c = 1; c < 256; ++c) {
        if (m_recent[c].samples < std::min(m_window, m_totals[c].sent))
            return false;
    }
    return true;
}

bool ProgressAccumulator::addRecentSamples(std::string_view pairs, std::string_view characters)
{
    for (std::size_t i = pairs.size(); i >= 2; i -= 2) {
        const auto sent = static_cast<unsigned char>(pairs[i - 2]);
        if (sent != 0 && characters.find(static_cast<char>(sent)) != std::string_view::npos)
            addRecent(sent, static_cast<unsigned char>(pairs[i - 1]));
    }
    return std::all_of(characters.begin(), characters.end(), [this](char c) {
        return m_recent[static_cast<unsigned char>(c)].samples >= m_window;
    });
}

ProgressData ProgressAccumulator::result(std::size_t confusionCount) const
{
    ProgressData data;
    for (int c = 1; c < 256; ++c) {
        const Totals& totals = m_totals[c];
        if (totals.sent == 0 && totals.extra == 0)
            continue;
        CharacterStatistics statistics;
        statistics.character = static_cast<unsigned char>(c);
        statistics.sent = totals.sent;
        statistics.correct = totals.correct;
        statistics.missed = totals.missed;
        statistics.extra = totals.extra;
        statistics.recent = m_recent[c];
        for (int typed = 1; typed < 256; ++typed) {
            if (const int count = m_recentWrong[c * 256u + typed];
                count > statistics.recentWrittenAsCount) {
                statistics.recentWrittenAs = static_cast<unsigned char>(typed);
                statistics.recentWrittenAsCount = count;
            }
            if (const int count = m_wrong[c * 256u + typed]; count > 0) {
                statistics.wrong += count;
                statistics.wrongAs.emplace_back(static_cast<unsigned char>(typed), count);
                data.confusions.push_back(
                    {static_cast<unsigned char>(c), static_cast<unsigned char>(typed), count});
            }
        }
        std::stable_sort(statistics.wrongAs.begin(), statistics.wrongAs.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        data.characters.push_back(std::move(statistics));
    }
    // Weakest first; characters never sent (only typed as extra) last.
    std::stable_sort(data.characters.begin(), data.characters.end(),
                     [](const CharacterStatistics& a, const CharacterStatistics& b) {
                         if ((a.recent.samples == 0) != (b.recent.samples == 0))
                             return b.recent.samples == 0;
                         // a.correct / a.samples < b.correct / b.samples, without rounding
                         const long long left = 1LL * a.recent.correct * b.recent.samples;
                         const long long right = 1LL * b.recent.correct * a.recent.samples;
                         return left != right ? left < right : a.recent.samples > b.recent.samples;
                     });
    std::stable_sort(
        data.confusions.begin(), data.confusions.end(),
        [](const ConfusionPair& a, const ConfusionPair& b) { return a.count > b.count; });
    if (data.confusions.size() > confusionCount)
        data.confusions.resize(confusionCount);
    return data;
}

} // namespace vortan
