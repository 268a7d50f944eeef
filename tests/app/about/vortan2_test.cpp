#include "app/about/vortan2.h"
#include "controls/mdURLLabel.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
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

private slots:
    void aboutShowsOneWindowAndOkHidesIt();
    void closeBoxHidesAndTheWindowKeepsItsPlace();
    void isAFixedDialogWithCloseBoxOnly();
    void textsFitTheirBoxes();
};

void TestTForm2::aboutShowsOneWindowAndOkHidesIt()
{
    vortan::TForm2 form;
    QVERIFY(!form.isVisible());
    form.showAbout();
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shownAboutWindows(), 1);

    auto* ok = form.findChild<QPushButton*>("Button1");
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(shownAboutWindows(), 0);

    form.showAbout();
    QCOMPARE(shownAboutWindows(), 1);
}

void TestTForm2::closeBoxHidesAndTheWindowKeepsItsPlace()
{
    QPointer<vortan::TForm2> form = new vortan::TForm2;
    form->showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->pos(), QPoint(137, 125));
    form->move(300, 200);

    form->close(); // what the title bar's close box does
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form);
    QVERIFY(!form->isVisible());

    form->showAbout();
    QCOMPARE(form->pos(), QPoint(300, 200));
    QCOMPARE(form->findChild<QLabel*>("StaticText1")->text(), QString("Vortan"));
    QCOMPARE(form->findChild<vortan::TmdURLLabel*>("mdURLLabel1")->text(),
             QString("vortan.example.org"));
    delete form;
}

void TestTForm2::isAFixedDialogWithCloseBoxOnly()
{
    vortan::TForm2 form;
    QCOMPARE(form.windowTitle(), QString("About Vortan"));
    QCOMPARE(form.minimumSize(), QSize(361, 177));
    QCOMPARE(form.maximumSize(), QSize(361, 177));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!form.windowIcon().isNull());

    // The button is the only stop of the keyboard; it is neither default nor cancel.
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (child->focusPolicy() != Qt::NoFocus)
            QCOMPARE(child->objectName(), QString("Button1"));
    }
    auto* ok = form.findChild<QPushButton*>("Button1");
    QVERIFY(!ok->isDefault() && !ok->autoDefault());
}

void TestTForm2::textsFitTheirBoxes()
{
    vortan::TForm2 form;
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (qEnvironmentVariableIsSet("VORTAN_SCREENSHOT_DIR"))
        form.grab().save(qEnvironmentVariable("VORTAN_SCREENSHOT_DIR") + "/about.png");

    for (QLabel* label : form.findChildren<QLabel*>()) {
        const QString name = label->objectName();
        // A missing font would fall back to one of other widths.
        const QString family = QFontInfo(label->font()).family();
        QVERIFY2(family.startsWith("Liberation"), qPrintable(name + " is drawn in " + family));
        const QSize needed = label->fontMetrics().boundingRect(label->text()).size();
        QVERIFY2(needed.width() <= label->width() &&
                     label->height() >= label->fontMetrics().height(),
                 qPrintable(QString("%1 needs %2x%3, has %4x%5")
                                .arg(name)
                                .arg(needed.width())
                                .arg(label->fontMetrics().height())
                                .arg(label->width())
                                .arg(label->height())));
        QVERIFY2(form.rect().contains(label->geometry()), qPrintable(name + " leaves the window"));
    }
}

QTEST_MAIN(TestTForm2)
#include "vortan2_test.moc"
