// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/play_rendering.h"
#include "app/temporary_sound_file.h"
#include "sound/pulse_player.h"
#include "support/pulse_test_support.h"
#include "support/test_files.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace vortan {
namespace {

using namespace std::chrono_literals;

// About `kilobytes` of five-letter groups, ten to a line: some 40 minutes of sound a 100 KB.
std::string groups(int kilobytes)
{
    std::string text;
    std::uint32_t state = 12345;
    while (text.size() < static_cast<std::size_t>(kilobytes) * 1000) {
        for (int group = 0; group < 10; ++group) {
            for (int letter = 0; letter < 5; ++letter) {
                state = state * 1103515245u + 12345u;
                text += static_cast<char>('a' + (state >> 16) % 26);
            }
            text += group < 9 ? " " : "\r\n";
        }
    }
    return text;
}

// Whether two files hold the same bytes, read a block at a time.
bool sameBytes(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::vector<char> one(1 << 20);
    std::vector<char> two(1 << 20);
    while (first && second) {
        first.read(one.data(), static_cast<std::streamsize>(one.size()));
        second.read(two.data(), static_cast<std::streamsize>(two.size()));
        if (first.gcount() != second.gcount() ||
            !std::equal(one.begin(), one.begin() + first.gcount(), two.begin()))
            return false;
    }
    return first.eof() && second.eof();
}

TEST(PlayRendering, ALongRenderingIsHeardBeforeItIsCompleteAndItsFileEndsUpExact)
{
    testing::PrivateServer server;
    if (!server.start()) {
        if (testing::servicesRequired())
            FAIL() << "no private " << testing::soundServerKind() << " server could start";
        GTEST_SKIP() << "this test needs a private " << testing::soundServerKind() << " server";
    }
    setenv("PULSE_SERVER", server.address().c_str(), 1);
    PulseConnection connection("Vortan test");
    PulsePlayer player(connection);
    const auto recording = server.recording();
    ASSERT_TRUE(recording->started());

    test::ScratchFolder folder;
    const FixedClock clock(45'296'789);
    RandomGenerator random;
    Synthesizer synthesizer(random, clock);
    // Some 650 MB: longer to render than any sound server takes to start a stream, even on a
    // busy machine.
    const std::string text = groups(250);
    const SynthesisSettings settings{.speed = 250, .noise = 20};
    PlayRendering rendering(synthesizer, folder / "~ortan.wav", text, settings, 0,
                            kTemporarySoundFileRules, [] {});
    ASSERT_TRUE(rendering.started());
    player.playWhileWritten(rendering.file());

    bool heard = false;
    bool endedWhenHeard = false;
    for (auto waited = 0ms; !heard && waited < 5s; waited += 50ms) {
        const std::vector<std::int16_t> block = recording->next(0.05);
        heard = std::any_of(block.begin(), block.end(), [](std::int16_t x) { return x > 8000; });
        endedWhenHeard = rendering.ended();
    }
    EXPECT_TRUE(heard) << "the first element was not heard";
    EXPECT_FALSE(endedWhenHeard) << "heard only once the rendering was complete";
    EXPECT_TRUE(player.isPlaying());
    rendering.finish();
    player.stop();

    // The same rendering made whole, as Save WAV makes it.
    RandomGenerator sameRandom;
    Synthesizer sameSynthesizer(sameRandom, clock);
    sameSynthesizer.txtofile(folder / "whole.wav", text, settings);
    EXPECT_GT(std::filesystem::file_size(folder / "~ortan.wav"), 200'000'000u);
    EXPECT_TRUE(sameBytes(folder / "~ortan.wav", folder / "whole.wav"));
    EXPECT_EQ(test::entryCount(folder.path), 2u);
}

} // namespace
} // namespace vortan
