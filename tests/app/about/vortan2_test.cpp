// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

int shownAboutWindows()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<vortan::TForm2*>(widget) && widget->isVisible();
    return count;
}

} // namespace

class TestTForm2 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneWindowClosedByOkFromTheKeyboard()
    {
        // OK takes the focus when the window opens, so Space closes it.
        vortan::TForm2 form;
        form.showAbout();
        form.showAbout();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(shownAboutWindows(), 1);
        auto* ok = form.findChild<QPushButton*>(QStringLiteral("Button1"));
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Space);
        QCOMPARE(shownAboutWindows(), 0);
    }
};

QTEST_MAIN(TestTForm2)
#include "vortan2_test.moc"
