// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vortan {

// The ready-made sets of the character-set box, in its order (windows-1250 bytes). Entries 5 to
// 24 (indices 4 to 23) are the progression: each adds the next one to three characters of
// a b s t g j n o k q f m z i x d r h e w l y p v c u 8 2 1 9 3 7 6 4 5 0 ? ! / = to the one
// before it.
inline constexpr std::array<std::string_view, 24> kCharacterSets{
    "abcdefghijklmnopqrstuvwxyz0123456789?!=/",
    "abcdefghijklmnopqrstuvwxyz",
    "0123456789",
    "#%|@$&^*",
    "abs",
    "abst",
    "abstgj",
    "abstgjn",
    "abstgjnok",
    "abstgjnokqf",
    "abstgjnokqfmz",
    "abstgjnokqfmzix",
    "abstgjnokqfmzixdr",
    "abstgjnokqfmzixdrhe",
    "abstgjnokqfmzixdrhewl",
    "abstgjnokqfmzixdrhewlyp",
    "abstgjnokqfmzixdrhewlypvcu",
    "abstgjnokqfmzixdrhewlypvcu82",
    "abstgjnokqfmzixdrhewlypvcu8219",
    "abstgjnokqfmzixdrhewlypvcu821937",
    "abstgjnokqfmzixdrhewlypvcu82193764",
    "abstgjnokqfmzixdrhewlypvcu8219376450",
    "abstgjnokqfmzixdrhewlypvcu8219376450?!",
    "abstgjnokqfmzixdrhewlypvcu8219376450?!/=",
};

inline constexpr std::size_t kFirstProgressionSet = 4;

// The index of the progression entry whose text this is exactly; nothing for any other text.
constexpr std::optional<std::size_t> progressionSetIndex(std::string_view characterSet)
{
    for (std::size_t index = kFirstProgressionSet; index < kCharacterSets.size(); ++index) {
        if (kCharacterSets[index] == characterSet)
            return index;
    }
    return std::nullopt;
}

// What a progression entry adds to the one before it; the first adds all of its characters.
constexpr std::string_view addedCharacters(std::size_t progressionIndex)
{
    if (progressionIndex == kFirstProgressionSet)
        return kCharacterSets[progressionIndex];
    return kCharacterSets[progressionIndex].substr(kCharacterSets[progressionIndex - 1].size());
}

} // namespace vortan
