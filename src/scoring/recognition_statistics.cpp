// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/recognition_statistics.h"

#include "scoring/recognition_time.h"

#include <algorithm>

namespace vortan {

void RecognitionAccumulator::add(unsigned char character, int milliseconds)
{
    std::vector<int>& samples = m_samples[character];
    if (samples.size() < std::size_t{kRecognitionWindow})
        samples.push_back(milliseconds);
}

RecentRecognition RecognitionAccumulator::result() const
{
    RecentRecognition recognition{};
    for (std::size_t c = 0; c < m_samples.size(); ++c) {
        if (m_samples[c].empty())
            continue;
        recognition[c] = {static_cast<int>(m_samples[c].size()), *lowerMedian(m_samples[c])};
    }
    return recognition;
}

std::vector<unsigned char> slowestCharacters(std::string_view characters,
                                             const RecentRecognition& recognition,
                                             std::size_t count)
{
    std::vector<unsigned char> known;
    for (const char c : characters) {
        const auto byte = static_cast<unsigned char>(c);
        if (recognition[byte].known() && std::find(known.begin(), known.end(), byte) == known.end())
            known.push_back(byte);
    }
    std::stable_sort(known.begin(), known.end(), [&recognition](unsigned char a, unsigned char b) {
        return recognition[a].medianMs > recognition[b].medianMs;
    });
    known.resize(std::min(known.size(), count));
    return known;
}

} // namespace vortan
