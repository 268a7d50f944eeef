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

#include "settings/synthesis_settings.h"
#include "synthesis/keying.h"
#include "synthesis/random_generator.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vortan {

// Renders exercise text into 8-bit mono 11025 Hz WAV files. Owns the synthesis buffers, which
// keep their fixed sizes for the program's life; one per program.
class Synthesizer {
public:
    Synthesizer(RandomGenerator& random, const Clock& clock);

    // Renders windows-1250 text into a WAV file, replacing any file of that name only once the
    // new one is complete. Throws vortan::IoError / vortan::Error (also for a setting outside its
    // slider's range, before anything is touched).
    void txtofile(const std::filesystem::path& fileName, std::string_view text,
                  const SynthesisSettings& settings);

    // Writes a pattern string with the buffers and lengths the last txtofile prepared.
    void trtofile(const std::filesystem::path& fileName, std::string_view pattern);

    // The generator's seed at the start of the last sample pass (taken from the clock), which
    // with the text and the settings tells what the last rendering sent; 0 before any.
    std::uint32_t lastSampleSeed() const { return m_sampleSeed; }

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
    std::uint32_t m_sampleSeed = 0;

    std::array<std::uint8_t, sineCapacity> m_sinetab{};
    std::array<std::uint8_t, toneCapacity> m_tonebuf{};
    std::array<std::uint8_t, noiseCapacity> m_noisebuf{};
};

} // namespace vortan
