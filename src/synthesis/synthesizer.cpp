#include "synthesis/synthesizer.h"

#include "synthesis/errors.h"
#include "synthesis/morse_code.h"
#include "synthesis/replacing_file_writer.h"
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
void checkRange(const char* name, int value, int low, int high)
{
    if (value < low || value > high) {
        throw Error(std::string("The setting ") + name + " must lie between " +
                    std::to_string(low) + " and " + std::to_string(high) + ", not " +
                    std::to_string(value));
    }
}

} // namespace

void Synthesizer::prepare(const SynthesisSettings& settings)
{
    checkRange("speed", settings.speed, 40, 250);
    checkRange("spaces", settings.spaces, 0, 10);
    checkRange("tone", settings.tone, 400, 2000);
    checkRange("noise", settings.noise, 0, 50);
    checkRange("straight", settings.straight, 0, 100);
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
                           const SynthesisSettings& settings)
{
    prepare(settings);
    trtofile(fileName, txtotr(text));
}

template <typename Target>
void Synthesizer::writeWav(const Target& target, std::string_view pattern)
{
    const std::int64_t sampleCount = trsize(pattern, m_dotlen, m_dashlen, m_spaces);
    const auto header = wavHeader(sampleCount);

    ReplacingFileWriter file(target);
    file.write(header.data(), header.size());
    const auto fileBytes = static_cast<std::int64_t>(header.size()) + sampleCount;
    auto writtenBytes = static_cast<std::int64_t>(header.size());
    std::int64_t nextReport = progressStepBytes;

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
            writtenBytes += segment.sampleCount;
        }
        if (m_progress && writtenBytes >= nextReport) {
            m_progress(writtenBytes, fileBytes);
            nextReport = writtenBytes + progressStepBytes;
        }
    }
    file.commit();
}

void Synthesizer::trtofile(const std::filesystem::path& fileName, std::string_view pattern)
{
    writeWav(fileName, pattern);
}

void Synthesizer::txtodescriptor(int descriptor, std::string_view text,
                                 const SynthesisSettings& settings)
{
    prepare(settings);
    writeWav(descriptor, txtotr(text));
}

} // namespace vortan
