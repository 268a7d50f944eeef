#include "platform/pcm_wav.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace vortan {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(Bytes& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void putId(Bytes& out, const char* id)
{
    out.insert(out.end(), id, id + 4);
}

Bytes fmtChunk(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
               std::uint16_t blockAlign)
{
    Bytes out;
    putId(out, "fmt ");
    put32(out, 16);
    put16(out, tag);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    return out;
}

Bytes dataChunk(const Bytes& samples, std::uint32_t declared)
{
    Bytes out;
    putId(out, "data");
    put32(out, declared);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

Bytes riff(std::initializer_list<Bytes> chunks)
{
    Bytes body;
    putId(body, "WAVE");
    for (const Bytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes out;
    putId(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// What the synthesis writes: 44-byte header, 8-bit unsigned mono, 11025 Hz.
Bytes synthesisWav(const Bytes& samples)
{
    return riff({fmtChunk(1, 1, 11025, 8, 1),
                 dataChunk(samples, static_cast<std::uint32_t>(samples.size()))});
}

TEST(PcmWav, ReadsTheSynthesisFormat)
{
    const Bytes samples{128, 255, 0, 128, 7};
    const Bytes file = synthesisWav(samples);
    ASSERT_EQ(file.size(), 44u + samples.size());
    const auto sound = parsePcmWav(file);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->channelCount, 1);
    EXPECT_EQ(sound->sampleRate, 11025);
    EXPECT_EQ(sound->bitsPerSample, 8);
    EXPECT_EQ(sound->samples, samples);
}

TEST(PcmWav, SkipsOtherChunksAndPadding)
{
    Bytes list;
    putId(list, "LIST");
    put32(list, 3); // odd: one pad byte follows
    list.insert(list.end(), {'a', 'b', 'c', 0});
    const Bytes samples{1, 2, 3, 4, 5, 6, 7, 8};
    const auto sound =
        parsePcmWav(riff({list, fmtChunk(1, 2, 44100, 16, 4), list, dataChunk(samples, 8)}));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->channelCount, 2);
    EXPECT_EQ(sound->bitsPerSample, 16);
    EXPECT_EQ(sound->sampleRate, 44100);
    EXPECT_EQ(sound->samples, samples);
}

TEST(PcmWav, CutsAnOverlongDataChunkToWholeFrames)
{
    const Bytes samples{1, 2, 3, 4, 5, 6, 7}; // 16-bit stereo: one whole frame and 3 bytes
    const auto sound =
        parsePcmWav(riff({fmtChunk(1, 2, 8000, 16, 4), dataChunk(samples, 0xffffffff)}));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (Bytes{1, 2, 3, 4}));
}

TEST(PcmWav, RefusesWhatItCannotPlay)
{
    const Bytes s{128, 128};
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"no RIFF",
         [&] {
             Bytes b = synthesisWav(s);
             b[0] = 'X';
             return b;
         }()},
        {"no WAVE",
         [&] {
             Bytes b = synthesisWav(s);
             b[8] = 'X';
             return b;
         }()},
        {"no fmt", riff({dataChunk(s, 2)})},
        {"no data", riff({fmtChunk(1, 1, 11025, 8, 1)})},
        {"compressed", riff({fmtChunk(2, 1, 11025, 8, 1), dataChunk(s, 2)})},
        {"three channels", riff({fmtChunk(1, 3, 11025, 8, 3), dataChunk(s, 2)})},
        {"no channels", riff({fmtChunk(1, 0, 11025, 8, 0), dataChunk(s, 2)})},
        {"24-bit", riff({fmtChunk(1, 1, 11025, 24, 3), dataChunk(s, 2)})},
        {"rate 0", riff({fmtChunk(1, 1, 0, 8, 1), dataChunk(s, 2)})},
        {"wrong block align", riff({fmtChunk(1, 1, 11025, 16, 1), dataChunk(s, 2)})},
        {"fmt cut short",
         [&] {
             Bytes b = synthesisWav(s);
             b.resize(30);
             return b;
         }()},
        {"two fmt",
         riff({fmtChunk(1, 1, 11025, 8, 1), fmtChunk(1, 1, 11025, 8, 1), dataChunk(s, 2)})},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(parsePcmWav(c.file)) << c.what;
}

TEST(PcmWav, NeverReadsPastTheEnd)
{
    // Every prefix and every one-byte change of a valid file: refused or parsed, never a read
    // outside the buffer (the sanitizer build watches), never more samples than bytes.
    Bytes samples(64);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes file = riff({fmtChunk(1, 2, 22050, 16, 4), dataChunk(samples, 64)});
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        if (const auto sound = parsePcmWav(prefix)) {
            EXPECT_LE(sound->samples.size(), length);
        }
    }
    for (std::size_t at = 0; at < 44; ++at) {
        for (const std::uint8_t value : {0x00, 0x01, 0x7f, 0x80, 0xff}) {
            Bytes changed = file;
            changed[at] = value;
            if (const auto sound = parsePcmWav(changed)) {
                EXPECT_EQ(sound->samples.size() % static_cast<std::size_t>(sound->frameBytes()),
                          0u);
            }
        }
    }
}

TEST(PcmWav, ReadsAFileWholly)
{
    const std::string path = ::testing::TempDir() + "pcm_wav_test.wav";
    const Bytes samples{10, 20, 30};
    {
        const Bytes file = synthesisWav(samples);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
    }
    const auto sound = readPcmWav(path);
    std::remove(path.c_str());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, samples);
    EXPECT_FALSE(readPcmWav(path));                 // gone
    EXPECT_FALSE(readPcmWav(::testing::TempDir())); // a directory
}

} // namespace
} // namespace vortan
