#include "synthesis/tone_ramps.h"

#include "settings/options_schema.h"
#include "settings/settings_schema.h"
#include "synthesis/keying.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vortan {

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

void ToneRamps::prepare(int riseMs, const std::uint8_t* sinetab, int period)
{
    m_rampSamples = std::min(rampSamples(riseMs), maxRampSamples);
    m_period = period;
    for (int phase = 0; phase < period; ++phase)
        m_tone[phase] = sinetab[phase] - 128;
    m_tableReady.fill(false);
}

int ToneRamps::rampLength(int toneSamples) const
{
    return std::min(m_rampSamples, toneSamples / 4);
}

const std::int8_t* ToneRamps::risingTable(int length)
{
    std::int8_t* table = &m_tables[maxPeriod * length * (length - 1) / 2];
    if (!m_tableReady[length]) {
        for (int k = 0; k < length; ++k) {
            const double weight = (1 - std::cos(std::numbers::pi * (k + 0.5) / length)) / 2;
            for (int phase = 0; phase < m_period; ++phase)
                table[k * m_period + phase] =
                    static_cast<std::int8_t>(nearest(weight * m_tone[phase]));
        }
        m_tableReady[length] = true;
    }
    return table;
}

void ToneRamps::rise(int length, int first, const std::uint8_t* noise, std::uint8_t* out)
{
    const std::int8_t* table = risingTable(length);
    int phase = first % m_period;
    for (int k = 0; k < length; ++k) {
        out[k] = static_cast<std::uint8_t>(noise[first + k] + table[k * m_period + phase]);
        phase = phase + 1 == m_period ? 0 : phase + 1;
    }
}

void ToneRamps::fall(int length, int first, const std::uint8_t* noise, std::uint8_t* out)
{
    const std::int8_t* table = risingTable(length);
    int phase = first % m_period;
    for (int k = 0; k < length; ++k) {
        out[k] = static_cast<std::uint8_t>(noise[first + k] +
                                           table[(length - 1 - k) * m_period + phase]);
        phase = phase + 1 == m_period ? 0 : phase + 1;
    }
}

} // namespace vortan
