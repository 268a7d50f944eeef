// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/options_store.h"
#include "settings/profile_document.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

std::string textOf(const fs::path& file)
{
    const auto bytes = test::readBytes(file);
    return {bytes.begin(), bytes.end()};
}

TEST(OptionsStore, PresetWritesAndOptionWritesLeaveEachOthersSectionsAlone)
{
    test::ScratchFolder folder;
    const fs::path file = folder / "vortan.ini";
    const std::string settings = "[settings1]\r\nspeed=300\r\nspaces=0\r\ntone=0x258\r\n"
                                 "noise=0\r\nchars= a b \r\nstraight=0\r\nmine=1\r\n";
    test::writeText(file, "; mine\n[options]\nleadin=200 ; a note\ncolour=red\n\n" + settings);
    Presets presets;
    OptionsStore options;
    Odczytaj1Click(file, presets, options);
    EXPECT_EQ(options.options(), ProgramOptions{}); // "200 ; a note" is no number
    options.setValue(OptionId::LeadIn, 250);
    Zapisz1Click(file, presets, Presets{}, options); // every preset key written
    const std::string written = textOf(file);
    EXPECT_EQ(written.substr(0, written.find("[settings2]")),
              "; mine\n[options]\nleadin=250\ncolour=red\n\n[settings1]\r\nspeed=300\r\n"
              "spaces=0\r\ntone=600\r\nnoise=0\r\nchars=a b\r\nstraight=0\r\nmine=1\r\n\r\n");

    // Written again, nothing changes.
    Zapisz1Click(file, presets, Presets{}, options);
    EXPECT_EQ(textOf(file), written);

    // A refused write leaves the file whole.
    Presets twoLines = presets;
    twoLines[0].chars = "two\nlines";
    EXPECT_THROW(Zapisz1Click(file, twoLines, presets, options), Error);
    EXPECT_EQ(textOf(file), written);
}

TEST(OptionsStore, ValuesAreReadAsSlidersReadTheirs)
{
    const struct {
        std::string text;
        int riseMs;
    } cases[] = {
        {"7", 7},
        {"-5", 0},
        {"11", 10},
        {"2147483648", 10},
        {"99999999999999999999999", 10},
        {"$FFFFFFFFFFFF", 10},
        {"-99999999999999999999999", 0},
        {"abc", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        OptionsStore options;
        options.load(ProfileDocument("[options]\nrise=" + c.text + "\n"));
        EXPECT_EQ(options.value(OptionId::Rise), c.riseMs) << c.text;
    }
}

TEST(OptionsStore, WritesOnlyWhatTheUserChangedWithTheFilesLineEndings)
{
    test::ScratchFolder folder;
    const fs::path file = folder / "vortan.ini";
    Presets presets;
    OptionsStore options;

    // Values the file holds its own way stay, untouched, while Options is never used.
    const std::string odd = "[options]\nrise=-5\nleadin=99999999999\n";
    test::writeText(file, odd);
    Odczytaj1Click(file, presets, options);
    Zapisz1Click(file, presets, presets, options);
    EXPECT_TRUE(textOf(file).starts_with(odd)) << textOf(file);

    // A changed one is written, ending as the file's lines end; the other stays as it was.
    options.setValue(OptionId::Rise, 4);
    Zapisz1Click(file, presets, presets, options);
    EXPECT_TRUE(textOf(file).starts_with("[options]\nrise=4\nleadin=99999999999\n"))
        << textOf(file);

    // A new section in a file of LF lines gets LF lines too.
    test::writeText(file, "[mine]\nkey=1\n");
    Odczytaj1Click(file, presets, options);
    options.setValue(OptionId::LeadIn, 300);
    Zapisz1Click(file, presets, presets, options);
    const std::string written = textOf(file);
    EXPECT_EQ(written.substr(written.find("\n[options]")), "\n[options]\nleadin=300\n");
}

} // namespace
