// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a settings file: reading must neither crash nor hang, and what was read must
// write back and read again the same.
#include "settings/profile_document.h"
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vortan;

namespace {

// A value written as it stands loses blanks at its ends and one pair of enclosing quotes when
// read back, as the profile functions read it.
std::string asReadBack(const std::string& value)
{
    return *ProfileDocument("[s]\nk=" + value + "\n").value("s", "k");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ProfileDocument document(bytes);
    if (document.bytes() != bytes)
        std::abort();
    (void)parseSettingsInteger(bytes);

    const Presets presets = presetsFrom(document);
    // Written over whatever lines the document holds, and into an empty one (where every value
    // is written), what was read reads back: values read never hold what a line cannot.
    ProfileDocument empty;
    for (ProfileDocument* target : {&document, &empty}) {
        storeChangedPresets(*target, presets, Presets{});
        const Presets reread = presetsFrom(ProfileDocument(target->bytes()));
        for (std::size_t i = 0; i < presets.size(); ++i) {
            SettingsPreset expected = presets[i];
            expected.chars = asReadBack(expected.chars);
            if (reread[i] != expected)
                std::abort();
        }
    }
    return 0;
}
