// SPDX-License-Identifier: GPL-3.0-or-later
// The hyperlink label on the real desktop: xdg-open reaching the fake browser of
// scripts/test-services.sh.
#include "controls/mdURLLabel.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <cstdio>

class TestMdURLLabelOnDesktop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensInTheRegisteredBrowser();
};

void TestMdURLLabelOnDesktop::opensInTheRegisteredBrowser()
{
    QFile log(qEnvironmentVariable("VORTAN_FAKE_BROWSER_LOG"));
    QVERIFY(log.open(QIODevice::ReadWrite | QIODevice::Truncate));
    vortan::TmdURLLabel label;
    label.setWebPage(QStringLiteral("vortan.example.org/start"));
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QVERIFY(label.actsAsLink());
    QTest::mouseClick(&label, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT((log.seek(0), QString::fromUtf8(log.readAll()).trimmed()),
                              QStringLiteral("http://vortan.example.org/start"), 15000);
}

// xcb aborts without a display, before a test could skip: decide here. 77 tells CTest "skipped".
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariable("VORTAN_TEST_SERVICES")
                                                       .split(u' ')
                                                       .contains(QLatin1StringView("browser"))) {
        const bool required =
            qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QLatin1StringView("1");
        fprintf(stderr,
                "%s: the desktop browser test needs an X display and the fake browser "
                "(test-services.sh)\n",
                required ? "FAIL" : "SKIP");
        return required ? 1 : 77;
    }
    QApplication app(argc, argv);
    TestMdURLLabelOnDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "mdURLLabel_desktop_test.moc"
