// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace vortan::test {

// Types a name into the name field of the file dialog that is open (modal), in the folder, and
// confirms it with Return, as a user does. The field has the focus, as it has for a user: the
// dialog rewrites the field from its file list only while the field has no focus. Without such a
// dialog it fails the test and closes what is open.
inline void typeIntoFileDialog(const QString& folder, const QString& name)
{
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    if (edit == nullptr) {
        if (QApplication::activeModalWidget())
            QApplication::activeModalWidget()->close();
        QFAIL("no file dialog with a name field is open");
    }
    dialog->setDirectory(folder);
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog)) {
        dialog->close();
        QFAIL("the file dialog did not become active");
    }
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace vortan::test
