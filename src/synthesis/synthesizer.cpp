// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/synthesizer.h"

#include "base/errors.h"
#include "files/replacing_file_writer.h"
#include "settings/options_schema.h"
#include "settings/settings_schema.h"
#include "synthesis/morse_code.h"
#include "synthesis/wav_header.h"

#include <algorithm>
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

// The longest tone buffer (twice the dash at speed 40, and one) leaves room for the ramps' reads.
static_assert(Synthesizer::toneCapacity >= 2 * 3 * 1218 + 1 + ToneRamps::readAhead);

// The buffers are sized for the sliders' ranges; anything outside would overrun them.
void checkRanges(const SynthesisSettings& settings, int riseMs)
{
    const ProgramOption& rise = programOption(OptionId::Rise);
    if (riseMs < rise.minimum || riseMs > rise.maximum) {
        throw outOfRange("The setting rise", rise.minimum, rise.maximum, riseMs);
    }
    for (const IntegerSetting& setting : kIntegerSettings) {
        const int value = settings.*setting.inRendering;
        if (value < setting.minimum || value > setting.maximum) {
            throw outOfRange("The setting " + std::string(setting.key), setting.minimum,
                             setting.maximum, value);
        }
    }
}

// A rendering may take seconds; a request to end the program stops it at the next block.
WriteRules renderingRules(const WriteRules& rules)
{
    WriteRules rendering = rules;
    rendering.stopOnRequest = true;
    return rendering;
}

} // namespace

void Synthesizer::prepare(const SynthesisSettings& settings, int riseMs)
{
    checkRanges(settings, riseMs);
    checkConditions(m_conditions);
    m_bufferSeed = m_random.seed();
    m_spaces = settings.spaces;
    m_straight = settings.straight;
    const auto n = static_cast<std::uint32_t>(static_cast<std::uint8_t>(settings.noise));
    const auto h = static_cast<int>(n / 2);
    m_dotlen = dotLength(settings.speed);
    m_dashlen = 3 * m_dotlen;
    const int period = nearest(static_cast<double>(sampleRateHz) / settings.tone);
    m_period = period;

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
        m_toneNoise[i] = static_cast<std::uint8_t>(128 + r - h);
    }
    // Noise of 0 or 1 step is all zeros: the edges are then the clean ramps of the tables.
    m_ramps.prepare(riseMs, m_sinetab.data(), period, n > 1 ? m_toneNoise.data() : nullptr);
    for (int byte = 0; byte < 256; ++byte) {
        m_byteSamples[static_cast<std::size_t>(byte)] = trsize(
            characterPattern(static_cast<unsigned char>(byte)), m_dotlen, m_dashlen, m_spaces);
    }
    m_fullRamp = ToneRamps::rampSamples(riseMs);
    if (m_fullRamp > 0) {
        std::copy_n(m_tonebuf.begin(), 2 * m_dashlen + 1, m_risenTonebuf.begin());
        std::copy_n(m_ramps.edge(ToneRamps::Edge::Rising, m_fullRamp, 1), m_fullRamp,
                    &m_risenTonebuf[1]);
    }
}

void Synthesizer::txtofile(const std::filesystem::path& fileName, std::string_view text,
                           const SynthesisSettings& settings, int riseMs, const WriteRules& rules)
{
    prepare(settings, riseMs);
    writeText(text, [&] { return ReplacingFileWriter(fileName, renderingRules(rules)); });
}

void Synthesizer::trtofile(const std::filesystem::path& fileName, std::string_view pattern,
                           const WriteRules& rules)
{
    writeWav(
        trsize(pattern, m_dotlen, m_dashlen, m_spaces),
        [pattern](const auto& key) {
            for (const char symbol : pattern)
                key(symbol);
        },
        [&] { return ReplacingFileWriter(fileName, renderingRules(rules)); });
}

void Synthesizer::txtodescriptor(int descriptor, std::string_view text,
                                 const SynthesisSettings& settings, int riseMs)
{
    prepare(settings, riseMs);
    writeText(text, [descriptor] { return ReplacingFileWriter(descriptor); });
}

template <typename OpenFile>
void Synthesizer::writeText(std::string_view text, const OpenFile& openFile)
{
    std::int64_t sampleCount = 0;
    for (const char byte : text)
        sampleCount += m_byteSamples[static_cast<unsigned char>(byte)];
    writeWav(
        sampleCount,
        [text](const auto& key) {
            for (const char byte : text) {
                for (const char symbol : characterPattern(static_cast<unsigned char>(byte)))
                    key(symbol);
            }
        },
        openFile);
}

template <typename ForEachSymbol, typename OpenFile>
void Synthesizer::writeWav(std::int64_t sampleCount, const ForEachSymbol& forEachSymbol,
                           const OpenFile& openFile)
{
    const auto header = wavHeader(sampleCount);

    ReplacingFileWriter file = openFile();
    file.write(header.data(), header.size());
    const auto fileBytes = static_cast<std::int64_t>(header.size()) + sampleCount;
    auto writtenBytes = static_cast<std::int64_t>(header.size());
    std::int64_t nextReport = progressStepBytes;

    m_random.seedFromClock(m_clock);
    m_sampleSeed = m_random.seed();
    const bool mixing = m_conditions.any();
    m_mixer.start(mixing ? m_conditions : BandConditions(), m_bufferSeed, m_sampleSeed, m_period,
                  2 * m_dashlen);
    auto writeSlice = [&file](const std::uint8_t* samples, int count) {
        file.write(samples, static_cast<std::size_t>(count));
    };
    std::array<Segment, 2> segments;
    forEachSymbol([&](char symbol) {
        const int count =
            keysymbol(symbol, m_dotlen, m_dashlen, m_spaces, m_straight, m_random, segments);
        for (int i = 0; i < count; ++i) {
            const Segment& segment = segments[i];
            if (mixing)
                writeMixed(file, segment);
            else if (segment.kind == SegmentKind::Tone)
                toneSlices(segment.sampleCount, writeSlice);
            else
                writeSlice(m_noisebuf.data(), segment.sampleCount);
            writtenBytes += segment.sampleCount;
        }
        if (m_progress && writtenBytes >= nextReport) {
            m_progress(writtenBytes, fileBytes);
            nextReport = writtenBytes + progressStepBytes;
        }
    });
    file.commit();
}

template <typename Write> void Synthesizer::toneSlices(int sampleCount, const Write& write)
{
    // Tone starts one sample in, so every element opens at the same phase.
    const int ramp = m_ramps.rampLength(sampleCount);
    if (ramp == 0) {
        write(&m_tonebuf[1], sampleCount);
        return;
    }
    if (ramp == m_fullRamp) {
        write(&m_risenTonebuf[1], sampleCount - ramp);
    } else {
        // A short element: a quarter of it rises.
        write(m_ramps.edge(ToneRamps::Edge::Rising, ramp, 1), ramp);
        write(&m_tonebuf[1 + ramp], sampleCount - 2 * ramp);
    }
    write(m_ramps.edge(ToneRamps::Edge::Falling, ramp, sampleCount + 1 - ramp), ramp);
}

void Synthesizer::writeMixed(ReplacingFileWriter& file, const Segment& segment)
{
    const int count = segment.sampleCount;
    const std::uint8_t* mixed = nullptr;
    if (segment.kind == SegmentKind::Tone) {
        int filled = 0;
        if (!m_mixer.replacesTone()) {
            toneSlices(count, [this, &filled](const std::uint8_t* samples, int sliceCount) {
                std::copy_n(samples, sliceCount, &m_mixed[static_cast<std::size_t>(filled)]);
                filled += sliceCount;
            });
        }
        mixed = m_mixer.mixTone(m_mixed.data(), &m_toneNoise[1], count, m_ramps.rampLength(count));
    } else {
        mixed = m_mixer.mixGap(m_noisebuf.data(), count);
    }
    file.write(mixed, static_cast<std::size_t>(count));
}

} // namespace vortan
