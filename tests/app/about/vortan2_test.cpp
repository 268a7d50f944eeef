// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
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
    void oneWindowHiddenByOk();
    void textFits_data();
    void textFits();
    void keyboardReachesOk();
};

void TestTForm2::oneWindowHiddenByOk()
{
    vortan::TForm2 form;
    form.showAbout();
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shownAboutWindows(), 1);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(shownAboutWindows(), 0);
}

void TestTForm2::textFits_data()
{
    QTest::addColumn<QString>("label");
    for (const char* name : {"mdURLLabel1", "Label1", "StaticText1", "StaticText2", "StaticText3"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestTForm2::textFits()
{
    QFETCH(QString, label);
    vortan::TForm2 form;
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QLabel* shown = form.findChild<QLabel*>(label);
    QVERIFY(shown != nullptr);
    const QFontMetrics metrics = shown->fontMetrics();
    QVERIFY(metrics.boundingRect(shown->text()).width() <= shown->width());
    QVERIFY(metrics.height() <= shown->height());
    QVERIFY(form.rect().contains(shown->geometry()));
}

void TestTForm2::keyboardReachesOk()
{
    // OK takes the focus when the window opens, so Space closes it; a screen reader hears a
    // dialog with a button.
    vortan::TForm2 form;
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Dialog);
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("Button1"));
    QCOMPARE(QApplication::focusWidget(), ok);
    QCOMPARE(QAccessible::queryAccessibleInterface(ok)->role(), QAccessible::Button);
    QTest::keyClick(ok, Qt::Key_Space);
    QCOMPARE(shownAboutWindows(), 0);
}

QTEST_MAIN(TestTForm2)
#include "vortan2_test.moc"
