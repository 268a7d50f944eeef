#include "app/about/vortan2.h"

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

private slots:
    void oneWindowHiddenByOkAndTextsFit();
};

void TestTForm2::oneWindowHiddenByOkAndTextsFit()
{
    vortan::TForm2 form;
    form.showAbout();
    form.showAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shownAboutWindows(), 1);

    for (QLabel* label : form.findChildren<QLabel*>()) {
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY2(metrics.boundingRect(label->text()).width() <= label->width() &&
                     metrics.height() <= label->height() && form.rect().contains(label->geometry()),
                 qPrintable(label->objectName() + " is clipped"));
    }

    QTest::mouseClick(form.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QCOMPARE(shownAboutWindows(), 0);
}

QTEST_MAIN(TestTForm2)
#include "vortan2_test.moc"
