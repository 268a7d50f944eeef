// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace vortan {

SingleFileDialog::SingleFileDialog(QWidget* parent)
    : QFileDialog(parent)
{
    setFileMode(QFileDialog::AnyFile);
}

QString SingleFileDialog::typedFile(const QString& typed, const QString& folder,
                                    const QString& defaultSuffix)
{
    QString path = typed;
    if (path == u'~' || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    path = QDir(folder).absoluteFilePath(path);
    // Qt's own rule: a name without any dot gets the suffix.
    const QFileInfo info(path);
    if (!defaultSuffix.isEmpty() && !info.fileName().contains(u'.') && !info.isDir())
        path += u'.' + defaultSuffix;
    return QDir::cleanPath(path);
}

void SingleFileDialog::accept()
{
    // Only the widget-based dialog has the name field, and only it parses the name.
    const auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (nameEdit != nullptr && nameEdit->text().contains(u'"')) {
        const QString path =
            typedFile(nameEdit->text(), directory().absolutePath(), defaultSuffix());
        if (QFileInfo(path).isDir()) {
            // As Qt does with a folder's name: go into it.
            setDirectory(path);
            selectFile(QString());
            return;
        }
        m_chosenFile = path;
        QDialog::accept();
        return;
    }
    const QStringList files = selectedFiles();
    m_chosenFile = files.isEmpty() ? QString() : files.constFirst();
    QFileDialog::accept();
}

} // namespace vortan
