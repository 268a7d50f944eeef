// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/options_store.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

const std::string kFirstRunKeys =
    "speed=60\r\nspaces=0\r\ntone=600\r\nnoise=0\r\n"
    "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\nstraight=0\r\n";

class SettingsFile : public testing::Test {
protected:
    std::string fileText() const
    {
        const auto bytes = test::readBytes(m_file);
        return {bytes.begin(), bytes.end()};
    }
    Presets read() const
    {
        Presets presets; // all zero and empty, as before the first read
        OptionsStore options;
        Odczytaj1Click(m_file, presets, options);
        return presets;
    }
    // Writes every key: none of them has its value of before the first read.
    void writeAll(const fs::path& file, const Presets& presets) const
    {
        Zapisz1Click(file, presets, Presets{}, OptionsStore{});
    }
    // The write fails with the message and why, the old file stays whole, and no temporary
    // file is left.
    void expectRefused(const fs::path& file, const std::string& original, const std::string& why,
                       Presets presets = {defaultPreset(), defaultPreset(), defaultPreset()}) const
    {
        try {
            writeAll(file, presets);
            ADD_FAILURE() << "wrote " << file;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), "Unable to write to " + file.string() + ": " + why);
        }
        EXPECT_EQ(fileText(), original);
        EXPECT_EQ(test::entryCount(m_folder.path), 1u);
    }

    test::ScratchFolder m_folder;
    fs::path m_file = m_folder / "vortan.ini";
};

TEST_F(SettingsFile, WritingKeepsEverythingElseByteForByte)
{
    test::writeText(m_file, "; my presets\n[window]\nspeed=1\n\n"
                            "[Settings1]\n  Speed = 300 \nmine=keep me\n\n"
                            "# about two\n[settings2]\r\ntone=0x258\r\n");
    Presets presets = read();
    presets[1].chars = "\xB9\x9C";
    writeAll(m_file, presets);
    EXPECT_EQ(fileText(), "; my presets\n[window]\nspeed=1\n\n"
                          "[Settings1]\nSpeed=300\r\nmine=keep me\nspaces=0\r\ntone=600\r\n"
                          "noise=0\r\nchars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\n"
                          "straight=0\r\n\n"
                          "# about two\n[settings2]\r\ntone=600\r\nspeed=60\r\nspaces=0\r\n"
                          "noise=0\r\nchars=\xB9\x9C\r\nstraight=0\r\n"
                          "\r\n[settings3]\r\n" +
                              kFirstRunKeys);
    EXPECT_EQ(read(), presets);
}

TEST_F(SettingsFile, AFailedWriteSaysWhereAndLeavesTheOldFileWhole)
{
    const std::string original = "[settings1]\r\nspeed=100\r\n";
    test::writeText(m_file, original);
    expectRefused(m_file / "vortan.ini", original, "Not a directory"); // its folder is a file
    Presets twoLines = read();
    twoLines[2].chars = "two\nlines";
    expectRefused(m_file, original, "a profile value cannot hold a line feed or a NUL byte",
                  twoLines);

    // Past the file size limit every write fails, as on a full disk, even for root.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 50;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectRefused(m_file, original, "File too large");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

TEST_F(SettingsFile, AtCloseOnlyWhatThisWindowChangedIsWritten)
{
    // Two windows read the same file at their start.
    test::writeText(m_file, "[settings1]\r\nspeed=abc\r\n");
    const Presets startOfFirst = read();
    const Presets startOfSecond = read();
    Presets first = startOfFirst;
    first[0].tone = 800;
    Presets second = startOfSecond;
    second[1].chars = "abs";
    second[0].speed = 60; // shown as 60 since "abc" is no number, but not moved: left as it is
    Zapisz1Click(m_file, first, startOfFirst, OptionsStore{});
    Zapisz1Click(m_file, second, startOfSecond, OptionsStore{});
    const Presets now = read();
    EXPECT_EQ(now[0].tone, 800);
    EXPECT_EQ(now[1].chars, "abs");
    EXPECT_NE(fileText().find("speed=abc\r\n"), std::string::npos) << fileText();

    // A new file still gets all eighteen keys, in the file's order.
    fs::remove(m_file);
    Zapisz1Click(m_file, read(), read(), OptionsStore{});
    EXPECT_EQ(fileText(), "[settings1]\r\n" + kFirstRunKeys + "\r\n[settings2]\r\n" +
                              kFirstRunKeys + "\r\n[settings3]\r\n" + kFirstRunKeys);
}

} // namespace
