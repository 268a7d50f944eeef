// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How text becomes sound:
//
//   windows-1250 text --txtotr--> pattern string of ".", "-" and " "      (morse_code.h)
//   pattern --keysymbol--> tone and gap segments, lengths in samples       (keying.h)
//   pattern --trsize--> total sample count, known before the file exists   (keying.h)
// A text is not turned into its whole pattern first: its size is summed from a table of each
// byte's samples, then each byte's pattern is keyed as it comes, so the first samples are
// written within a millisecond or two whatever the text's length.
//   segments --Synthesizer--> slices of the ready tone and noise buffers,
//                             written after a 44-byte header               (wav_header.h)
//                             into a file that replaces the old one whole (replacing_file_writer.h)
//   with soft keying, the first and last samples of each tone element
//   --ToneRamps--> the tone scaled by a raised-cosine ramp, noise as it was (tone_ramps.h)
//
// Nothing is computed per sample while writing: one sine cycle, the noisy tone and the noise are
// computed once per rendering, and every element and pause is one block copy of a buffer slice.
// Soft keying adds a table look-up per ramp sample, nothing in the gaps.
// Band conditions (band_mixer.h), when any is on, pass every block through the mixer on its way
// to the file: a few float operations per sample. All off, the bytes are those of no conditions.
// With the generator's seed and the clock fixed, the output is fully determined.

#include "files/replacing_file_writer.h"
#include "settings/band_conditions.h"
#include "settings/settings_schema.h"
#include "settings/synthesis_settings.h"
#include "synthesis/band_mixer.h"
#include "synthesis/keying.h"
#include "synthesis/random_generator.h"
#include "synthesis/tone_ramps.h"
#include "synthesis/wav_header.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>

namespace vortan {

// The dot length at the fastest speed, nearest(48700 / 250) samples.
inline constexpr int fastestDotSamples =
    (48700 + integerSetting(IntegerSettingId::Speed).maximum / 2) /
    integerSetting(IntegerSettingId::Speed).maximum;

// The longest exercise text a WAV file can hold, in characters: a character that sounds takes
// at least five dot lengths (the shortest, "e", is a dot and the gap after a character), and a
// file holds at most maxWavSampleCount samples.
inline constexpr std::int64_t maxTextCharacters = maxWavSampleCount / (5 * fastestDotSamples);

// Renders exercise text into 8-bit mono 11025 Hz WAV files. Owns the synthesis buffers, which
// keep their fixed sizes for the program's life; one per program.
class Synthesizer {
public:
    Synthesizer(RandomGenerator& random, const Clock& clock);

    // Renders windows-1250 text into a WAV file, replacing any file of that name only once the
    // new one is complete; `rules` say what may stand at the file's name. riseMs (0 to 10) is the
    // soft keying's rise and fall of every tone element; 0 keys hard, the tone starting and
    // stopping in one sample. Throws vortan::IoError / vortan::Error (also for a setting outside
    // its range, before anything is touched), and StopRequested when the program is told to end
    // meanwhile.
    void txtofile(const std::filesystem::path& fileName, std::string_view text,
                  const SynthesisSettings& settings, int riseMs = 0, const WriteRules& rules = {});

    // Writes a pattern string with the buffers and lengths the last txtofile prepared.
    void trtofile(const std::filesystem::path& fileName, std::string_view pattern,
                  const WriteRules& rules = {});

    // Renders as txtofile does, into a descriptor that is already open (standard output, say)
    // and stays open. A failure may leave part of the file written there.
    void txtodescriptor(int descriptor, std::string_view text, const SynthesisSettings& settings,
                        int riseMs = 0);

    // Told the bytes written so far and the whole file's size in bytes, about once per
    // progressStepBytes while a file is written; none unless set.
    using ProgressCallback = std::function<void(std::int64_t writtenBytes, std::int64_t fileBytes)>;
    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }
    static constexpr std::int64_t progressStepBytes = 1024 * 1024;
    // The generator's seed at the start of the last sample pass (taken from the clock), which
    // with the text and the settings tells what the last rendering sent; 0 before any.
    std::uint32_t lastSampleSeed() const { return m_sampleSeed; }
    // The generator's seed when the last rendering filled its noise and tone buffers; with the
    // sample seed, the text and the settings it makes the same file again. 0 before any.
    std::uint32_t lastBufferSeed() const { return m_bufferSeed; }

    // The band conditions of the renderings that follow (all off at first); checked by the next
    // rendering, which throws vortan::Error for one outside its range before touching anything.
    void setBandConditions(const BandConditions& conditions) { m_conditions = conditions; }
    const BandConditions& bandConditions() const { return m_conditions; }
    // Samples of the last rendering that the conditions drove past the 8-bit range, held at
    // its ends; 0 without conditions.
    std::int64_t lastClippedSamples() const { return m_mixer.clippedSamples(); }

    static constexpr std::size_t sineCapacity = 60;
    static constexpr std::size_t toneCapacity = 50000;
    static constexpr std::size_t noiseCapacity = 50000;

private:
    void prepare(const SynthesisSettings& settings, int riseMs);
    // openFile() gives the writer, called once the size is known: a text too long is refused
    // before the file is created. forEachSymbol(key) calls key(symbol) for every pattern symbol
    // in order; sampleCount is what they add up to.
    template <typename ForEachSymbol, typename OpenFile>
    void writeWav(std::int64_t sampleCount, const ForEachSymbol& forEachSymbol,
                  const OpenFile& openFile);
    template <typename OpenFile> void writeText(std::string_view text, const OpenFile& openFile);
    // Gives the slices of a tone element of sampleCount to write(pointer, count), in order.
    template <typename Write> void toneSlices(int sampleCount, const Write& write);
    void writeMixed(ReplacingFileWriter& file, const Segment& segment);

    RandomGenerator& m_random;
    const Clock& m_clock;
    ProgressCallback m_progress;

    int m_dotlen = 0;
    int m_dashlen = 0;
    int m_spaces = 0;
    int m_straight = 0;
    int m_period = 1;
    std::uint32_t m_sampleSeed = 0;
    std::uint32_t m_bufferSeed = 0;
    // The samples of each text byte's pattern at the prepared lengths.
    std::array<std::int64_t, 256> m_byteSamples{};

    std::array<std::uint8_t, sineCapacity> m_sinetab{};
    std::array<std::uint8_t, toneCapacity> m_tonebuf{};
    std::array<std::uint8_t, noiseCapacity> m_noisebuf{};
    // The noise alone of every tone sample (around 128), for the ramps, which scale only the tone.
    std::array<std::uint8_t, toneCapacity> m_toneNoise{};
    // With soft keying: the tone buffer with the full rise in place at its start, and its length.
    std::array<std::uint8_t, toneCapacity> m_risenTonebuf{};
    int m_fullRamp = 0;
    ToneRamps m_ramps;

    BandConditions m_conditions;
    BandMixer m_mixer;
    std::array<std::uint8_t, noiseCapacity> m_mixed{}; // one segment on its way through the mixer
};

} // namespace vortan
