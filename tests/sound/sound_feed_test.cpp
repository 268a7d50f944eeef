// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_feed.h"
#include "support/test_files.h"
#include "support/wav_test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <thread>

namespace vortan {
namespace {

using namespace std::chrono_literals;

// Takes everything as the server's thread would, in blocks of changing sizes, never waiting
// except for a nudge (counted in `nudges`) when a take came up short.
std::vector<std::uint8_t> takeAll(SoundFeed& feed, const std::atomic<int>& nudges)
{
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> block(70000);
    for (std::size_t size = 1; !feed.atEnd(); size = size * 7 % 69997 + 1) {
        const int seen = nudges;
        const std::size_t count = feed.take(std::span(block).first(size));
        all.insert(all.end(), block.begin(), block.begin() + static_cast<long>(count));
        if (count < size - size % static_cast<std::size_t>(feed.format().frameBytes()) &&
            !feed.atEnd()) {
            auto waited = 0ms;
            for (; nudges == seen && waited < 5s; waited += 1ms)
                std::this_thread::sleep_for(1ms);
            if (nudges == seen) {
                ADD_FAILURE() << "no nudge after a short take";
                break;
            }
        }
    }
    return all;
}

// A WAV file in `folder` of `byteCount` bytes of scattered samples; returns the samples.
std::vector<std::uint8_t> writeWav(const test::ScratchFolder& folder, const PcmFormat& format,
                                   std::size_t byteCount)
{
    std::vector<std::uint8_t> data(byteCount);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    std::vector<std::uint8_t> file = test::pcmWavHeader(format, std::uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    test::writeText(folder / "a.wav", std::string(file.begin(), file.end()));
    return data;
}

TEST(SoundFeed, DeliversTheLeadInThenEveryWholeFrameOfTheFileThroughTheRing)
{
    // Three times the ring, 16-bit stereo, the last frame cut short.
    const PcmFormat format{2, 22050, 16};
    test::ScratchFolder folder;
    const std::vector<std::uint8_t> data = writeWav(folder, format, 3 * SoundFeed::ringBytes + 2);
    const auto file = test::readBytes(folder / "a.wav");
    const auto layout = parsePcmWavLayout(file, file.size());
    ASSERT_TRUE(layout);
    const PlaybackLeadIn leadIn{250, 20};
    std::vector<std::uint8_t> expected(LeadInSound(leadIn, format).remainingBytes());
    ASSERT_EQ(LeadInSound(leadIn, format).generate(expected), 5512u * 4);
    expected.insert(expected.end(), data.begin(), data.end() - 2);

    std::atomic<int> nudges = 0;
    SoundFeed feed(::open((folder / "a.wav").c_str(), O_RDONLY | O_CLOEXEC), *layout,
                   LeadInSound(leadIn, format), [&nudges] { ++nudges; });
    EXPECT_EQ(takeAll(feed, nudges), expected);
    EXPECT_TRUE(feed.atEnd());
}

TEST(SoundFeed, FollowsAGrowingFileNeverPastWhatExistsAndEndsWhereItsWritingFailed)
{
    // The whole file is on the disk; the growing file says how much of it exists.
    const PcmFormat format{1, 11025, 8};
    test::ScratchFolder folder;
    const std::vector<std::uint8_t> data = writeWav(folder, format, 200'000);
    const auto file = test::readBytes(folder / "a.wav");
    const auto layout = parsePcmWavLayout(file, file.size());
    ASSERT_TRUE(layout);

    for (const bool completes : {true, false}) {
        SCOPED_TRACE(completes ? "complete" : "failed");
        auto growing = std::make_shared<GrowingFile>();
        growing->begin(::open((folder / "a.wav").c_str(), O_RDONLY | O_CLOEXEC));
        growing->advance(layout->dataOffset + 1000);
        std::atomic<int> nudges = 0;
        SoundFeed feed(
            ::open((folder / "a.wav").c_str(), O_RDONLY | O_CLOEXEC), *layout,
            LeadInSound({}, format), [&nudges] { ++nudges; }, growing);

        std::vector<std::uint8_t> taken(data.size());
        std::size_t count = 0;
        for (auto waited = 0ms; count < 1000 && waited < 5s; waited += 1ms) {
            count += feed.take(std::span(taken).subspan(count));
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(50ms);
        count += feed.take(std::span(taken).subspan(count));
        EXPECT_EQ(count, 1000u) << "taken beyond what exists, or not all of it";
        EXPECT_FALSE(feed.atEnd());

        if (completes) {
            growing->advance(data.size() - 1000);
            growing->complete();
        } else {
            growing->fail();
        }
        const std::vector<std::uint8_t> rest = takeAll(feed, nudges);
        taken.resize(count);
        taken.insert(taken.end(), rest.begin(), rest.end());
        EXPECT_EQ(taken, completes ? data : std::vector(data.begin(), data.begin() + 1000));
    }
}

} // namespace
} // namespace vortan
