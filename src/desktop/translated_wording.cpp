// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/translated_wording.h"

#include <QCoreApplication>

namespace vortan {

const Wording& translatedWording()
{
    static const Wording translated{[](const char* context, const char* sourceText,
                                       const char* disambiguation, int n) {
        return QCoreApplication::translate(context, sourceText, disambiguation, n).toStdString();
    }};
    return translated;
}

} // namespace vortan
