// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

namespace vortan {

// The pictures of the toolbar buttons, drawn by the program itself.
enum class Glyph {
    Play,
    Stop,
    Random,
    Clear,
    Open,
    Save,
    Wav,
    About,
    Defaults,
    Print,
    Settings1,
    Settings2,
    Settings3,
    Options,
    CheckCopy,
    Progress,
};

// The 16 x 16 glyph as it shows on an enabled button.
QImage glyphImage(Glyph glyph);

// The glyph with its greyed image for the disabled state.
QIcon glyphIcon(Glyph glyph);

// The top toolbar's background picture, 640 x 125: a quiet brushed-metal gradient.
QImage backgroundPicture();

} // namespace vortan
