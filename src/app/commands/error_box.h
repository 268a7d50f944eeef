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

} // namespace vortan
