// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/options_store.h"
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
    readSettingsFile(file, presets, options);
    EXPECT_EQ(options.options(), ProgramOptions{}); // "200 ; a note" is no number
    options.setValue(OptionId::LeadIn, 250);
    writeSettingsFile(file, presets, options);
    const std::string written = textOf(file);
    EXPECT_EQ(written.substr(0, written.find("[settings2]")),
              "; mine\n[options]\nleadin=250\r\ncolour=red\n\n[settings1]\r\nspeed=300\r\n"
              "spaces=0\r\ntone=600\r\nnoise=0\r\nchars=a b\r\nstraight=0\r\nmine=1\r\n\r\n");

    // The program's own preset writer keeps the options as they stand.
    Zapisz1Click(file, presets);
    EXPECT_EQ(textOf(file), written);

    // A refused write leaves the file whole.
    presets[0].chars = "two\nlines";
    EXPECT_THROW(writeSettingsFile(file, presets, options), Error);
    EXPECT_EQ(textOf(file), written);
}

} // namespace
