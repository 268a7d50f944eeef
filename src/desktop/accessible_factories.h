// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

namespace vortan {

// Gives screen readers the roles Qt does not know for the program's own widgets. A widget's
// constructor asks for its factory, so the role holds wherever the widget is made (the program,
// a test); each factory is installed once, however many widgets ask.
void installAccessibleFactory(QAccessible::InterfaceFactory factory);

} // namespace vortan
