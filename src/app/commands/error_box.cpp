// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands/error_box.h"

#include "desktop/windows1250.h"

#include <QMessageBox>

namespace vortan {

QString errorBoxText(std::string_view message)
{
    QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    if (text.isEmpty())
        return text;
    // The last character may be a surrogate pair; fromUnicode turns what it cannot hold into "?".
    const qsizetype lastLength = text.back().isLowSurrogate() && text.size() > 1 ? 2 : 1;
    const std::string lastByte = windows1250::fromUnicode(text.right(lastLength));
    if (!lastByte.empty() && static_cast<unsigned char>(lastByte.back()) > '.')
        text += u'.';
    return text;
}

void showErrorBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vortan"), text, QMessageBox::Ok, parent);
    box.exec();
}

void showNoticeBox(QWidget* parent, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Vortan"), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vortan
