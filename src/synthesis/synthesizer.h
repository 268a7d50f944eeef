#pragma once

// How text becomes sound:
//
//   windows-1250 text --txtotr--> pattern string of ".", "-" and " "      (morse_code.h)
//   pattern --keysymbol--> tone and gap segments, lengths in samples       (keying.h)
//   pattern --trsize--> total sample count, known before the file exists   (keying.h)
//   segments --Synthesizer--> slices of the ready tone and noise buffers,
//                             written after a 44-byte header               (wav_header.h)
//                             into a file that replaces the old one whole (replacing_file_writer.h)
//
// Nothing is computed per sample while writing: one sine cycle, the noisy tone and the noise are
// computed once per rendering, and every element and pause is one block copy of a buffer slice.
// With the generator's seed and the clock fixed, the output is fully determined.

#include "files/replacing_file_writer.h"
#include "settings/settings_schema.h"
#include "settings/synthesis_settings.h"
#include "synthesis/keying.h"
#include "synthesis/random_generator.h"
#include "synthesis/wav_header.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

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
    // new one is complete; `rules` say what may stand at the file's name. Throws
    // vortan::IoError / vortan::Error (also for a setting outside its slider's range, before
    // anything is touched), and StopRequested when the program is told to end meanwhile.
    void txtofile(const std::filesystem::path& fileName, std::string_view text,
                  const SynthesisSettings& settings, const WriteRules& rules = {});

    // Writes a pattern string with the buffers and lengths the last txtofile prepared.
    void trtofile(const std::filesystem::path& fileName, std::string_view pattern,
                  const WriteRules& rules = {});

    static constexpr std::size_t sineCapacity = 60;
    static constexpr std::size_t toneCapacity = 50000;
    static constexpr std::size_t noiseCapacity = 50000;

private:
    void prepare(const SynthesisSettings& settings);

    RandomGenerator& m_random;
    const Clock& m_clock;

    int m_dotlen = 0;
    int m_dashlen = 0;
    int m_spaces = 0;
    int m_straight = 0;

    std::array<std::uint8_t, sineCapacity> m_sinetab{};
    std::array<std::uint8_t, toneCapacity> m_tonebuf{};
    std::array<std::uint8_t, noiseCapacity> m_noisebuf{};
};

} // namespace vortan
