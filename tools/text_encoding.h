#pragma once

#include <string>
#include <string_view>

namespace vortan {

// UTF-8 text as windows-1250 bytes, the only text the synthesis library takes. A character
// windows-1250 cannot hold is left out, so it makes no sound, just like a byte the code table
// has no entry for. Throws vortan::Error when the input is not valid UTF-8.
std::string utf8ToWindows1250(std::string_view utf8);

// Lone LF line breaks (as in Linux text files) become CR LF, as the program's text box holds
// them, so that a line break keys a word gap.
std::string withCrLfLineBreaks(std::string_view text);

} // namespace vortan
