// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/character_sets.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace vortan;

namespace {

// The list entries of the character-set box in the main window's layout file.
std::vector<std::string> layoutEntries()
{
    std::ifstream in(VORTAN_TEST_DATA_DIR "/../../src/app/vortan1.ui");
    const std::string layout{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> entries;
    const std::size_t box = layout.find("name=\"ComboBox1\"");
    const std::size_t end = layout.find("</widget>", box);
    // The items' texts, not the box's own properties (its accessible name).
    const std::string_view item = "<item>";
    const std::string_view open = "<string notr=\"true\">";
    for (std::size_t at = layout.find(item, box); at < end; at = layout.find(item, at)) {
        at = layout.find(open, at) + open.size();
        std::string entry = layout.substr(at, layout.find("</string>", at) - at);
        for (std::size_t amp; (amp = entry.find("&amp;")) != std::string::npos;)
            entry.replace(amp, 5, "&");
        entries.push_back(entry);
    }
    return entries;
}

} // namespace

TEST(CharacterSets, SameAsTheBoxInTheLayout)
{
    const std::vector<std::string> entries = layoutEntries();
    ASSERT_EQ(entries.size(), kCharacterSets.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i], kCharacterSets[i]) << "entry " << i + 1;
}
