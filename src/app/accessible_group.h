// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace vortan {

// A plain, unpainted container that screen readers announce as a group under its accessible
// name. The buttons in it are a choice of one, as the preset buttons are: screen readers hear
// them as radio buttons (Qt would call a checkable tool button a check box).
class AccessibleGroup : public QWidget {
    Q_OBJECT
public:
    explicit AccessibleGroup(QWidget* parent = nullptr);
};

} // namespace vortan
