#include "synthesis/synthesizer.h"

#include "base/errors.h"
#include "files/replacing_file_writer.h"
#include "settings/settings_schema.h"
#include "synthesis/morse_code.h"
#include "synthesis/wav_header.h"

#include <cmath>
#include <numbers>
#include <string>

namespace vortan {

Synthesizer::Synthesizer(RandomGenerator& random, const Clock& clock)
    : m_random(random)
    , m_clock(clock)
{
}

namespace {

// The buffers are sized for the sliders' ranges; anything outside would overrun them.
void checkRanges(const SynthesisSettings& settings)
{
    for (const IntegerSetting& setting : kIntegerSettings) {
        const int value = settings.*setting.inRendering;
        if (value < setting.minimum || value > setting.maximum) {
            throw Error("The setting " + std::string(setting.key) + " must lie between " +
                        std::to_string(setting.minimum) + " and " +
                        std::to_string(setting.maximum) + ", not " + std::to_string(value));
        }
    }
}

} // namespace

void Synthesizer::prepare(const SynthesisSettings& settings)
{
    checkRanges(settings);
    m_spaces = settings.spaces;
    m_straight = settings.straight;
    const auto n = static_cast<std::uint32_t>(static_cast<std::uint8_t>(settings.noise));
    const auto h = static_cast<int>(n / 2);
    m_dotlen = dotLength(settings.speed);
    m_dashlen = 3 * m_dotlen;
    const int period = nearest(static_cast<double>(sampleRateHz) / settings.tone);

    // The draw order (noise, then one draw per tone sample) fixes every byte of the output.
    for (std::uint8_t& sample : m_noisebuf)
        sample = static_cast<std::uint8_t>(128 + static_cast<int>(m_random.nextBelow(n)) - h);

    for (int k = 0; k < period; ++k) {
        const double angle = 2 * std::numbers::pi * (k + 1) / period;
        m_sinetab[k] = static_cast<std::uint8_t>(nearest(100 * std::sin(angle)) + 128);
    }

    for (int i = 0; i <= 2 * m_dashlen; ++i) {
        const int r = static_cast<int>(m_random.nextBelow(n));
        m_tonebuf[i] = static_cast<std::uint8_t>(r + m_sinetab[i % period] - h);
    }
}

void Synthesizer::txtofile(const std::filesystem::path& fileName, std::string_view text,
                           const SynthesisSettings& settings, const WriteRules& rules)
{
    prepare(settings);
    trtofile(fileName, txtotr(text), rules);
}

void Synthesizer::trtofile(const std::filesystem::path& fileName, std::string_view pattern,
                           const WriteRules& rules)
{
    const auto header = wavHeader(trsize(pattern, m_dotlen, m_dashlen, m_spaces));

    // A rendering may take seconds; a request to end the program stops it at the next block.
    WriteRules rendering = rules;
    rendering.stopOnRequest = true;
    ReplacingFileWriter file(fileName, rendering);
    file.write(header.data(), header.size());

    m_random.seedFromClock(m_clock);
    std::array<Segment, 2> segments;
    for (const char symbol : pattern) {
        const int count =
            keysymbol(symbol, m_dotlen, m_dashlen, m_spaces, m_straight, m_random, segments);
        for (int i = 0; i < count; ++i) {
            const Segment& segment = segments[i];
            // Tone starts one sample in, so every element opens at the same phase.
            const std::uint8_t* from =
                segment.kind == SegmentKind::Tone ? &m_tonebuf[1] : m_noisebuf.data();
            file.write(from, static_cast<std::size_t>(segment.sampleCount));
        }
    }
    file.commit();
}

} // namespace vortan
