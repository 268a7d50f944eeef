// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_feed.h"
#include "support/test_files.h"
#include "support/wav_test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace vortan {
namespace {

using namespace std::chrono_literals;

// Counts the feed's nudges and lets the test wait for the next one.
class Nudges {
public:
    std::function<void()> callback()
    {
        return [this] {
            std::lock_guard lock(m_mutex);
            ++m_count;
            m_changed.notify_all();
        };
    }
    // Waits for a nudge after the `seen`th; false after 5 s without one.
    bool waitBeyond(int seen)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [&] { return m_count > seen; });
    }
    int count()
    {
        std::lock_guard lock(m_mutex);
        return m_count;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
};

// Takes everything as the server's thread would, in blocks of changing sizes, never waiting
// except for a nudge when a take came up short.
std::vector<std::uint8_t> takeAll(SoundFeed& feed, Nudges& nudges)
{
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> block(70000);
    for (std::size_t size = 1; !feed.atEnd(); size = size * 7 % 69997 + 1) {
        const int seen = nudges.count();
        const std::size_t count = feed.take(std::span(block).first(size));
        all.insert(all.end(), block.begin(), block.begin() + static_cast<long>(count));
        if (count < size - size % static_cast<std::size_t>(feed.format().frameBytes()) &&
            !feed.atEnd() && !nudges.waitBeyond(seen)) {
            ADD_FAILURE() << "no nudge after a short take";
            break;
        }
    }
    return all;
}

TEST(SoundFeed, DeliversTheLeadInThenEveryWholeFrameOfTheFileThroughTheRing)
{
    // Three times the ring, 16-bit stereo, the last frame cut short.
    const PcmFormat format{2, 22050, 16};
    std::vector<std::uint8_t> data(3 * SoundFeed::ringBytes + 2);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    test::ScratchFolder folder;
    std::vector<std::uint8_t> file = test::pcmWavHeader(format, std::uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    test::writeText(folder / "a.wav", std::string(file.begin(), file.end()));

    const auto layout = parsePcmWavLayout(file, file.size());
    ASSERT_TRUE(layout);
    const PlaybackLeadIn leadIn{250, 20, 600};
    std::vector<std::uint8_t> expected(LeadInSound(leadIn, format).remainingBytes());
    ASSERT_EQ(LeadInSound(leadIn, format).generate(expected), 5512u * 4);
    expected.insert(expected.end(), data.begin(), data.end() - 2);

    Nudges nudges;
    SoundFeed feed(::open((folder / "a.wav").c_str(), O_RDONLY | O_CLOEXEC), *layout,
                   LeadInSound(leadIn, format), nudges.callback());
    EXPECT_EQ(takeAll(feed, nudges), expected);
    EXPECT_TRUE(feed.atEnd());
}

// A pipe stands for a disk that answers slowly: the reader is stuck in a read.
TEST(SoundFeed, NeverWaitsForASlowReadAndIsNudgedWhenSamplesOrTheEndCome)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    const PcmWavLayout layout{{1, 11025, 8}, 0, 3000};
    Nudges nudges;
    SoundFeed feed(pipeEnds[0], layout, LeadInSound({}, layout.format), nudges.callback());
    std::vector<std::uint8_t> block(4000);
    EXPECT_EQ(feed.take(block), 0u);

    const std::vector<std::uint8_t> first(1000, 7);
    ASSERT_EQ(::write(pipeEnds[1], first.data(), first.size()), 1000);
    ASSERT_TRUE(nudges.waitBeyond(0));
    EXPECT_EQ(feed.take(block), 1000u);
    EXPECT_FALSE(feed.atEnd());

    // The end comes early (the writer closes): the taker hears of it.
    const int seen = nudges.count();
    EXPECT_EQ(feed.take(block), 0u);
    ::close(pipeEnds[1]);
    ASSERT_TRUE(nudges.waitBeyond(seen));
    EXPECT_TRUE(feed.atEnd());
}

TEST(SoundFeed, ACancelledReaderStuckInAReadEndsWhenTheReadReturns)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    const PcmWavLayout layout{{1, 11025, 8}, 0, 1u << 30};
    Nudges nudges;
    SoundFeed feed(pipeEnds[0], layout, LeadInSound({}, layout.format), nudges.callback());
    std::uint8_t byte = 1;
    EXPECT_EQ(feed.take({&byte, 1}), 0u);
    ASSERT_EQ(::write(pipeEnds[1], &byte, 1), 1);
    ASSERT_TRUE(nudges.waitBeyond(0));
    std::this_thread::sleep_for(50ms); // back in a read that nothing answers
    feed.cancel();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(feed.readerDone()); // so the player must not wait for it
    ASSERT_EQ(::write(pipeEnds[1], &byte, 1), 1);
    for (auto waited = 0ms; !feed.readerDone() && waited < 5s; waited += 10ms)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(feed.readerDone());
    ::close(pipeEnds[1]);
}

} // namespace
} // namespace vortan
