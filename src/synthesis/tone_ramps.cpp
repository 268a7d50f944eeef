// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/tone_ramps.h"

#include "settings/options_schema.h"
#include "settings/settings_schema.h"
#include "synthesis/keying.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vortan {

namespace {

// Noise plus scaled tone, in whole blocks of readAhead samples: a fixed count of independent adds
// that the compiler makes into one vector add each.
void mix(const std::uint8_t* __restrict noise, const std::uint8_t* __restrict tone,
         std::uint8_t* __restrict out, int length)
{
    for (int start = 0; start < length; start += ToneRamps::readAhead) {
        for (int k = start; k < start + ToneRamps::readAhead; ++k)
            out[k] = static_cast<std::uint8_t>(noise[k] + tone[k] - 128);
    }
}

} // namespace

static_assert(ToneRamps::maxRiseMs == programOption(OptionId::Rise).maximum);
static_assert(ToneRamps::maxRampSamples == (ToneRamps::maxRiseMs * sampleRateHz + 500) / 1000);
// The lowest tone has the longest cycle; rounded up it still fits.
static_assert(ToneRamps::maxPeriod >=
              (sampleRateHz + integerSetting(IntegerSettingId::Tone).minimum - 1) /
                  integerSetting(IntegerSettingId::Tone).minimum);

int ToneRamps::rampSamples(int riseMs)
{
    return nearest(riseMs * (sampleRateHz / 1000.0));
}

void ToneRamps::prepare(int riseMs, const std::uint8_t* sinetab, int period,
                        const std::uint8_t* noise)
{
    m_rampSamples = std::min(rampSamples(riseMs), maxRampSamples);
    m_period = period;
    m_noise = noise;
    for (int phase = 0; phase < period; ++phase)
        m_tone[phase] = sinetab[phase] - 128;
    m_tableReady.fill(false);
    for (MadeEdge& made : m_madeEdges)
        made.first = -1;
}

const std::uint8_t* ToneRamps::scaledTone(Edge edge, int length, int phase)
{
    // Lengths 1 to length - 1 come first, each 2 * maxPeriod rows of its length.
    std::uint8_t* tables = &m_tables[static_cast<std::size_t>(maxPeriod * length * (length - 1))];
    if (!m_tableReady[length]) {
        for (int k = 0; k < length; ++k) {
            const double weight = (1 - std::cos(std::numbers::pi * (k + 0.5) / length)) / 2;
            for (int start = 0; start < m_period; ++start) {
                const int tone = m_tone[(start + k) % m_period];
                tables[start * length + k] =
                    static_cast<std::uint8_t>(128 + nearest(weight * tone));
                // The fall is the rise's mirror: its sample k is k samples before the edge.
                const int toneBeforeEdge = m_tone[(start + length - 1 - k) % m_period];
                tables[(maxPeriod + start) * length + length - 1 - k] =
                    static_cast<std::uint8_t>(128 + nearest(weight * toneBeforeEdge));
            }
        }
        m_tableReady[length] = true;
    }
    return &tables[((edge == Edge::Rising ? 0 : maxPeriod) + phase) * length];
}

const std::uint8_t* ToneRamps::edge(Edge edge, int length, int first)
{
    if (m_noise == nullptr)
        return scaledTone(edge, length, first % m_period);
    MadeEdge& made = m_madeEdges[static_cast<std::size_t>(2 * first + (edge == Edge::Falling)) %
                                 m_madeEdges.size()];
    if (made.first != first || made.length != length || made.edge != edge) {
        const std::uint8_t* tone = scaledTone(edge, length, first % m_period);
        const std::uint8_t* noise = m_noise + first;
        mix(noise, tone, made.samples.data(), length);
        made.first = first;
        made.length = length;
        made.edge = edge;
    }
    return made.samples.data();
}

} // namespace vortan
