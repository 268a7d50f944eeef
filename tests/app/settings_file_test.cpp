#include "app/settings_file.h"
#include "synthesis/errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/fs.h>
#include <optional>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

class SettingsInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(SettingsInteger, ReadsOnlyWholeNumbersThatFit)
{
    EXPECT_EQ(parseSettingsInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsInteger,
    testing::Values(IntegerCase{"600", 600}, IntegerCase{"  +7", 7}, IntegerCase{"\t-12", -12},
                    IntegerCase{"0x258", 600}, IntegerCase{"0X258", 600}, IntegerCase{"$258", 600},
                    IntegerCase{"$00000000000ff", 255}, IntegerCase{"0007", 7},
                    IntegerCase{"2147483647", 2147483647},
                    IntegerCase{"-2147483648", -2147483647 - 1},
                    IntegerCase{"$7FFFFFFF", 2147483647}, IntegerCase{"2147483648", std::nullopt},
                    IntegerCase{"-2147483649", std::nullopt},
                    IntegerCase{"99999999999", std::nullopt},
                    IntegerCase{"$80000000", std::nullopt}, IntegerCase{"0xFFFFFFFF", std::nullopt},
                    IntegerCase{"-$10", std::nullopt}, IntegerCase{"+0x10", std::nullopt},
                    IntegerCase{"abc", std::nullopt}, IntegerCase{"", std::nullopt},
                    IntegerCase{"  ", std::nullopt}, IntegerCase{"-", std::nullopt},
                    IntegerCase{"$", std::nullopt}, IntegerCase{"0x", std::nullopt},
                    IntegerCase{"12 ", std::nullopt}, IntegerCase{"1 2", std::nullopt},
                    IntegerCase{"1.5", std::nullopt}, IntegerCase{"$G", std::nullopt},
                    IntegerCase{"0b101", std::nullopt}));

class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_file = m_folder / "vortan.ini";
    }
    void TearDown() override { fs::remove_all(m_folder); }

    void writeFile(const std::string& bytes) const
    {
        std::ofstream(m_file, std::ios::binary) << bytes;
    }
    std::string fileBytes() const
    {
        std::ifstream in(m_file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    Presets read() const
    {
        Presets presets; // all zero and empty, as before the first read
        Odczytaj1Click(m_file, presets);
        return presets;
    }

    fs::path m_folder;
    fs::path m_file;
};

// The immutable attribute stops even root from replacing a file or adding to a folder.
bool setImmutable(const fs::path& path, bool immutable)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

const std::string kFirstRunSection = "speed=60\r\nspaces=0\r\ntone=600\r\nnoise=0\r\n"
                                     "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\n"
                                     "straight=0\r\n";

TEST_F(SettingsFile, FirstRunGivesDefaultsAndWritesTheWholeFile)
{
    const Presets presets = read();
    for (const SettingsPreset& preset : presets)
        EXPECT_EQ(preset, defaultPreset());
    Zapisz1Click(m_file, presets);
    EXPECT_EQ(fileBytes(), "[settings1]\r\n" + kFirstRunSection + "\r\n[settings2]\r\n" +
                               kFirstRunSection + "\r\n[settings3]\r\n" + kFirstRunSection);
    EXPECT_EQ(read(), presets);
}

TEST_F(SettingsFile, ReadsValuesAsTheyStand)
{
    writeFile("[settings1]\r\n"
              "speed=abc\r\nspaces= 3\r\ntone=0x258\r\nnoise=\"7\"\r\nstraight=-5\r\n"
              "chars=  ab c  \r\n"
              "[SETTINGS2]\n"
              "SPEED=300\nspaces=\ntone=$258\nnoise=99999999999\nchars=\n"
              "[settings3]\r\n"
              "speed=' 45'\r\ntone=-0x10\r\n");
    const Presets presets = read();
    EXPECT_EQ(presets[0], (SettingsPreset{60, 3, 600, 7, -5, "ab c"}));
    EXPECT_EQ(presets[1], (SettingsPreset{300, 0, 600, 0, 0, ""}));
    EXPECT_EQ(presets[2], (SettingsPreset{45, 0, 600, 0, 0, std::string(kDefaultChars)}));
}

TEST_F(SettingsFile, WritingKeepsEverythingElseByteForByte)
{
    const std::string before = "; my presets\n"
                               "[window]\nspeed=1\n\n"
                               "[Settings1]\n  Speed = 300 \nmine=keep me\n\n"
                               "# about two\n[settings2]\r\ntone=0x258\r\n";
    writeFile(before);
    Presets presets = read();
    EXPECT_EQ(presets[0].speed, 300);
    presets[1].chars = "\xB9\x9C";
    Zapisz1Click(m_file, presets);

    const std::string defaults = kFirstRunSection;
    EXPECT_EQ(fileBytes(), "; my presets\n"
                           "[window]\nspeed=1\n\n"
                           "[Settings1]\nSpeed=300\r\nmine=keep me\nspaces=0\r\ntone=600\r\n"
                           "noise=0\r\nchars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\r\n"
                           "straight=0\r\n\n"
                           "# about two\n[settings2]\r\ntone=600\r\nspeed=60\r\nspaces=0\r\n"
                           "noise=0\r\nchars=\xB9\x9C\r\nstraight=0\r\n"
                           "\r\n[settings3]\r\n" +
                               kFirstRunSection);
    EXPECT_EQ(read(), presets);
}

TEST_F(SettingsFile, BlanksAroundACharacterSetAreLostOnTheWayBack)
{
    Presets presets = read();
    presets[2].chars = "  abc ";
    Zapisz1Click(m_file, presets);
    EXPECT_EQ(read()[2].chars, "abc");
}

TEST_F(SettingsFile, AFailedWriteSaysWhereAndKeepsTheFile)
{
    writeFile("[settings1]\r\nspeed=100\r\n");
    Presets presets = read();

    presets[0].chars = "two\nlines";
    try {
        Zapisz1Click(m_file, presets);
        ADD_FAILURE() << "a line break was written";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + m_file.string());
    }
    EXPECT_EQ(fileBytes(), "[settings1]\r\nspeed=100\r\n");

    const fs::path blocked = m_folder / "vortan.ini" / "vortan.ini"; // its folder is a file
    try {
        Zapisz1Click(blocked, read());
        ADD_FAILURE() << "wrote below a regular file";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + blocked.string());
    }
    EXPECT_EQ(fileBytes(), "[settings1]\r\nspeed=100\r\n");
}

TEST_F(SettingsFile, AnImmutableFileOrFolderIsLeftAsItWas)
{
    const std::string original = "[settings1]\r\nspeed=100\r\n";
    writeFile(original);
    for (const fs::path& locked : {m_file, m_folder}) {
        if (!setImmutable(locked, true))
            GTEST_SKIP() << "the file system (or our privileges) cannot make files immutable";
        try {
            Zapisz1Click(m_file, read());
            ADD_FAILURE() << "wrote to an immutable " << locked;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), "Unable to write to " + m_file.string());
        }
        ASSERT_TRUE(setImmutable(locked, false));
        EXPECT_EQ(fileBytes(), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1)
            << "a temporary file was left behind";
    }
}

TEST_F(SettingsFile, OddFilesGiveTheDefaults)
{
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0); // opening it for reading would wait
    EXPECT_EQ(read()[0], defaultPreset());
    fs::remove(m_file);

    fs::create_directory(m_file);
    EXPECT_EQ(read()[1], defaultPreset());
    fs::remove(m_file);

    writeFile("[settings1]\r\nspeed=100\r\n" + std::string(1024 * 1024, ';'));
    EXPECT_EQ(read()[0], defaultPreset());
}

TEST(DefaultSettingsFile, FollowsTheXdgRules)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";

    ::setenv("HOME", "/home/ola", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(defaultSettingsFile(), "/cfg/vortan/vortan.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(defaultSettingsFile(), "/home/ola/.config/vortan/vortan.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(defaultSettingsFile(), "/home/ola/.config/vortan/vortan.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(defaultSettingsFile(), "/home/ola/.config/vortan/vortan.ini");

    savedConfig ? ::setenv("XDG_CONFIG_HOME", config.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

} // namespace
