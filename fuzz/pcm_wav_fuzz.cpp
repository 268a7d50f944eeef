// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes given to the WAV reader: refused or parsed, never a read outside them.
#include "sound/pcm_wav.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto sound = vortan::parsePcmWav({data, size});
    if (sound && (sound->samples.size() > size ||
                  sound->samples.size() % static_cast<std::size_t>(sound->frameBytes()) != 0))
        std::abort();
    return 0;
}
