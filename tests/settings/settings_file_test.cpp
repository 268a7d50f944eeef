// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

TEST(SettingsInteger, ReadsOnlyWholeNumbersThatFit)
{
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0x258", 600}, {"$258", 600}, {" 3", 3}, {"\t-12", -12}, {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX}, {"abc", {}}, {"", {}}, {"99999999999", {}}, {"2147483648", {}},
        {"$80000000", {}}, {"0x100000000", {}}, {"-$10", {}}, {"12 ", {}}, {"$", {}}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseSettingsInteger(text), expected) << '"' << text << '"';
}

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
        Odczytaj1Click(m_file, presets);
        return presets;
    }
    // The write fails with the message and why, the old file stays whole, and no temporary
    // file is left.
    void expectRefused(const fs::path& file, const std::string& original, const std::string& why,
                       Presets presets = {defaultPreset(), defaultPreset(), defaultPreset()}) const
    {
        try {
            Zapisz1Click(file, presets);
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

TEST_F(SettingsFile, FirstRunGivesTheDefaultsAndWritesTheWholeFile)
{
    const Presets presets = read();
    EXPECT_EQ(presets, (Presets{defaultPreset(), defaultPreset(), defaultPreset()}));
    Zapisz1Click(m_file, presets);
    EXPECT_EQ(fileText(), "[settings1]\r\n" + kFirstRunKeys + "\r\n[settings2]\r\n" +
                              kFirstRunKeys + "\r\n[settings3]\r\n" + kFirstRunKeys);
}

TEST_F(SettingsFile, ReadsValuesAsTheyStand)
{
    test::writeText(m_file, "[settings1]\r\nspeed=abc\r\nspaces= 3\r\ntone=0x258\r\n"
                            "noise=\"7\"\r\nstraight=-5\r\nchars=  ab c  \r\n"
                            "[SETTINGS2]\nSPEED=300\nspaces=\ntone=$258\nchars=\n"
                            "[settings3]\r\nspeed=' 45'\r\n");
    EXPECT_EQ(read(), (Presets{SettingsPreset{60, 3, 600, 7, -5, "ab c"},
                               SettingsPreset{300, 0, 600, 0, 0, ""},
                               SettingsPreset{45, 0, 600, 0, 0, std::string(kDefaultChars)}}));

    // Odd files give the defaults at once.
    test::writeText(m_file, "[settings1]\r\nspeed=100\r\n" + std::string(1024 * 1024, ';'));
    EXPECT_EQ(read()[0], defaultPreset());
    fs::remove(m_file);
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0); // opening it for reading would wait
    EXPECT_EQ(read()[0], defaultPreset());
}

TEST_F(SettingsFile, WritingKeepsEverythingElseByteForByte)
{
    test::writeText(m_file, "; my presets\n[window]\nspeed=1\n\n"
                            "[Settings1]\n  Speed = 300 \nmine=keep me\n\n"
                            "# about two\n[settings2]\r\ntone=0x258\r\n");
    Presets presets = read();
    presets[1].chars = "\xB9\x9C";
    Zapisz1Click(m_file, presets);
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

// The immutable attribute stops even root from replacing a file or adding to a folder.
bool setImmutable(const fs::path& path, bool immutable)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
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

    for (const fs::path& locked : {m_file, m_folder.path}) {
        if (!setImmutable(locked, true))
            GTEST_SKIP() << "the file system (or our privileges) cannot make files immutable";
        expectRefused(m_file, original, "Operation not permitted");
        ASSERT_TRUE(setImmutable(locked, false));
    }
}

TEST_F(SettingsFile, WhatCannotBeASettingsFileIsNamedInTheMessage)
{
    // What stands at the file's name, and what the user is told about it.
    const auto fifo = m_folder / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(m_folder / "folder.ini");
    {
        std::ofstream big(m_folder / "big.ini"); // 2 GB, sparse
        big.seekp(2'000'000'000);
        big << 'x';
    }
    fs::create_symlink("loop.ini", m_folder / "loop.ini");
    const std::pair<fs::path, std::string> cases[] = {
        {fifo, "not a regular file"},
        {m_folder / "folder.ini", "Is a directory"},
        {m_folder / "big.ini", "longer than 1048576 bytes"},
        {m_folder / "loop.ini", "Too many levels of symbolic links"},
    };
    for (const auto& [file, why] : cases) {
        try {
            Zapisz1Click(file, read());
            ADD_FAILURE() << "wrote " << file;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), "Unable to write to " + file.string() + ": " + why);
        }
    }
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
    Zapisz1Click(m_file, first, startOfFirst);
    Zapisz1Click(m_file, second, startOfSecond);
    const Presets now = read();
    EXPECT_EQ(now[0].tone, 800);
    EXPECT_EQ(now[1].chars, "abs");
    EXPECT_NE(fileText().find("speed=abc\r\n"), std::string::npos) << fileText();

    // A new file still gets all eighteen keys, in the file's order.
    fs::remove(m_file);
    Zapisz1Click(m_file, read(), read());
    EXPECT_EQ(fileText(), "[settings1]\r\n" + kFirstRunKeys + "\r\n[settings2]\r\n" +
                              kFirstRunKeys + "\r\n[settings3]\r\n" + kFirstRunKeys);
}

TEST_F(SettingsFile, WritingMakesPrivateFoldersKeepsPermissionsAndFollowsLinks)
{
    const fs::path target = m_folder / "dotfiles" / "vortan" / "vortan.ini";
    fs::create_symlink(target, m_file); // dangling until the first write
    Zapisz1Click(m_file, read());
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_EQ(fs::status(target.parent_path()).permissions(), fs::perms::owner_all);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);
    Zapisz1Click(m_file, read());
    EXPECT_EQ(fs::status(target).permissions(), mode);
}

} // namespace
