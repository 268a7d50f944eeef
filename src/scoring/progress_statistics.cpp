// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/progress_statistics.h"

#include <algorithm>
#include <map>

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
{
}

void ProgressAccumulator::addRecent(unsigned char sent, unsigned char typed)
{
    RecentSamples& recent = m_recent[sent];
    if (recent.samples < m_window) {
        ++recent.samples;
        recent.correct += typed == sent ? 1 : 0;
    }
}

void ProgressAccumulator::addCheck(const CheckPoint& check, std::string_view pairs)
{
    m_checks.push_back(check);
    // Within a check the last character is the newest sample.
    for (std::size_t i = pairs.size(); i >= 2; i -= 2) {
        const auto sent = static_cast<unsigned char>(pairs[i - 2]);
        const auto typed = static_cast<unsigned char>(pairs[i - 1]);
        if (sent == 0) {
            ++m_totals[typed].extra;
            continue;
        }
        Totals& totals = m_totals[sent];
        ++totals.sent;
        if (typed == 0)
            ++totals.missed;
        else if (typed == sent)
            ++totals.correct;
        else
            ++m_wrong[sent * 256u + typed];
        addRecent(sent, typed);
    }
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

    data.checks.assign(m_checks.rbegin(), m_checks.rend());
    std::map<int, TempoPoint> tempos;
    for (const CheckPoint& check : m_checks) {
        TempoPoint& point = tempos[check.tempo];
        point.tempo = check.tempo;
        ++point.checks;
        point.sentCount += check.sentCount;
        point.correct += check.correct;
    }
    for (const auto& [tempo, point] : tempos)
        data.tempos.push_back(point);
    return data;
}

} // namespace vortan
