// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vortan {

inline constexpr std::string_view kLineBreak = "\r\n";

// The program's line break is CR LF, which keys a word gap. Every CR LF stays; every other CR and
// every other LF (Linux and old Mac text) becomes CR LF.
std::string normalizeLineBreaks(std::string_view bytes);

} // namespace vortan
