// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/program_font.h"

#include <QStringList>

namespace vortan {

QFont programFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace vortan
