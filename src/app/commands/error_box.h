// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

class QWidget;

namespace vortan {

// The text the error box shows for an exception's message (UTF-8): the message with a full stop
// appended when its last character's windows-1250 byte lies above that of ".".
QString errorBoxText(std::string_view message);

// The standard error box: title "Vortan", a stop icon, one OK button; modal to parent.
void showErrorBox(QWidget* parent, const QString& text);

// A notice that something went well but not as usual (a print job waiting in a paused queue):
// title "Vortan", an information icon, one OK button. It does not wait to be closed.
void showNoticeBox(QWidget* parent, const QString& text);

} // namespace vortan
