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

const Presets kDefaultPresets{defaultPreset(), defaultPreset(), defaultPreset()};

TEST(OptionsStore, ReadsNumbersClampsThemAndFallsBackToTheDefaults)
{
    const std::pair<const char*, ProgramOptions> cases[] = {
        {"", {}},
        {"[options]\r\nrise=5\r\nleadin=1500\r\n", {5, 1500}},
        {"[OPTIONS]\nRise = $A\nleadin='0x12C'\n", {10, 300}},
        {"[options]\nrise=11\nleadin=-1\n", {10, 0}},
        {"[options]\nrise=soft\nleadin=\n", {}},
        {"[settings1]\nrise=5\nleadin=200\n", {}}, // not in a preset's section
    };
    for (const auto& [text, expected] : cases) {
        OptionsStore store;
        store.setValue(OptionId::Rise, 3); // a load replaces every option
        store.load(ProfileDocument(text));
        EXPECT_EQ(store.options(), expected) << text;
    }
}

TEST(OptionsStore, RefusesValuesOutsideTheRange)
{
    OptionsStore store;
    store.setValue(OptionId::LeadIn, 3000);
    EXPECT_THROW(store.setValue(OptionId::Rise, 11), Error);
    EXPECT_THROW(store.setValue(OptionId::LeadIn, -1), Error);
    EXPECT_EQ(store.options(), (ProgramOptions{0, 3000}));
}

TEST(OptionsStore, KeptInASectionOfTheirOwnAcrossARestart)
{
    test::ScratchFolder folder;
    const fs::path file = folder / "vortan.ini";

    // At their defaults the options add nothing: the file is the one the presets alone make.
    Presets presets;
    OptionsStore options;
    readSettingsFile(file, presets, options);
    EXPECT_EQ(presets, kDefaultPresets);
    writeSettingsFile(file, presets, options);
    Zapisz1Click(folder / "presets-only.ini", presets);
    const std::string presetsOnly = textOf(folder / "presets-only.ini");
    EXPECT_EQ(textOf(file), presetsOnly);

    // Set, they go into [options] at the end and nothing before it changes.
    options.setValue(OptionId::Rise, 5);
    options.setValue(OptionId::LeadIn, 1500);
    writeSettingsFile(file, presets, options);
    EXPECT_EQ(textOf(file), presetsOnly + "\r\n[options]\r\nrise=5\r\nleadin=1500\r\n");
    OptionsStore restarted;
    readSettingsFile(file, presets, restarted);
    EXPECT_EQ(restarted.options(), (ProgramOptions{5, 1500}));
    EXPECT_EQ(presets, kDefaultPresets);

    // Back at a default, a key the file holds is kept up to date, in its place.
    restarted.setValue(OptionId::Rise, 0);
    writeSettingsFile(file, presets, restarted);
    EXPECT_EQ(textOf(file), presetsOnly + "\r\n[options]\r\nrise=0\r\nleadin=1500\r\n");
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
