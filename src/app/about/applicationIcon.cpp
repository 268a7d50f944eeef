// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/applicationIcon.h"

namespace vortan {

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vortan-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vortan
