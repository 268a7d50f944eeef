// The hyperlink label on the real desktop: xdg-open reaching the fake browser of
// scripts/test-services.sh.
#include "controls/mdURLLabel.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <cstdio>

class TestMdURLLabelOnDesktop : public QObject {
    Q_OBJECT

private slots:
    void opensInTheRegisteredBrowser();
};

void TestMdURLLabelOnDesktop::opensInTheRegisteredBrowser()
{
    if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").split(u' ').contains("browser")) {
        const char* why = "the desktop browser test needs the fake browser of test-services.sh";
        if (qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == "1")
            QFAIL(why);
        QSKIP(why);
    }
    QFile log(qEnvironmentVariable("VORTAN_FAKE_BROWSER_LOG"));
    QVERIFY(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
    log.close();
    vortan::TmdURLLabel label;
    label.setWebPage("vortan.example.org/start");
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QVERIFY(label.actsAsLink());
    QTest::mouseClick(&label, Qt::LeftButton);
    const auto opened = [&] {
        QFile file(log.fileName());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(opened(), QString("http://vortan.example.org/start"), 15000);
}

// xcb aborts without a display, before a test could skip: decide here. 77 tells CTest "skipped".
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        const bool required = qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == "1";
        fprintf(stderr, "%s: the desktop browser test needs an X display (test-services.sh)\n",
                required ? "FAIL" : "SKIP");
        return required ? 1 : 77;
    }
    QApplication app(argc, argv);
    TestMdURLLabelOnDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "mdURLLabel_desktop_test.moc"
