// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/accessible_factories.h"

#include <algorithm>
#include <vector>

namespace vortan {

void installAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    // Widgets are made on the GUI thread only.
    static std::vector<QAccessible::InterfaceFactory> installed;
    if (std::find(installed.begin(), installed.end(), factory) != installed.end())
        return;
    installed.push_back(factory);
    QAccessible::installFactory(factory);
}

} // namespace vortan
