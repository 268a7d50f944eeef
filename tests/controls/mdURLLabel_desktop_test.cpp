// The hyperlink label against the real desktop: the association files that xdg-mime writes and
// xdg-open reading them. Needs the fake browser of scripts/test-services.sh.
#include "controls/mdURLLabel.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

QStringList openedAddresses()
{
    QFile log(qEnvironmentVariable("VORTAN_FAKE_BROWSER_LOG"));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Makes the desktop forget every association while it lives.
class EmptyDesktop {
public:
    EmptyDesktop()
    {
        for (const char* name : m_names) {
            m_saved << qgetenv(name);
            qputenv(name, m_dir.filePath(QString::fromLatin1(name)).toLocal8Bit());
        }
    }
    ~EmptyDesktop()
    {
        for (int i = 0; i < 4; ++i)
            qputenv(m_names[i], m_saved[i]);
    }

private:
    static constexpr const char* m_names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                              "XDG_DATA_DIRS"};
    QTemporaryDir m_dir;
    QByteArrayList m_saved;
};

} // namespace

class TestMdURLLabelOnDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void opensInTheRegisteredBrowser();
    void withoutAssociationsAutoIsPassive();
    void linkAsksTheDesktopEvenWithoutAssociations();
};

void TestMdURLLabelOnDesktop::initTestCase()
{
    if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").split(u' ').contains("browser")) {
        const char* why = "the desktop browser tests need the fake browser of "
                          "scripts/test-services.sh";
        if (qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == "1")
            QFAIL(why);
        QSKIP(why);
    }
}

void TestMdURLLabelOnDesktop::init()
{
    QFile log(qEnvironmentVariable("VORTAN_FAKE_BROWSER_LOG"));
    QVERIFY(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
}

void TestMdURLLabelOnDesktop::opensInTheRegisteredBrowser()
{
    vortan::TmdURLLabel label;
    label.setWebPage("vortan.example.org/start");
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QVERIFY(label.actsAsLink());
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(&label, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(openedAddresses(), QStringList{"http://vortan.example.org/start"},
                              15000);
}

void TestMdURLLabelOnDesktop::withoutAssociationsAutoIsPassive()
{
    const EmptyDesktop empty;
    vortan::TmdURLLabel label;
    QVERIFY(!label.actsAsLink());
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!label.font().underline());
}

void TestMdURLLabelOnDesktop::linkAsksTheDesktopEvenWithoutAssociations()
{
    const EmptyDesktop empty;
    vortan::TmdURLLabel label;
    label.setLabelType(vortan::TmdLabelType::Link);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    label.click();
    // Without associations xdg-open falls back to $BROWSER, which the services point at the
    // fake: the request did reach the desktop.
    QTRY_COMPARE_WITH_TIMEOUT(openedAddresses(), QStringList{"http://vortan.example.org"}, 15000);
}

// xcb aborts without a display, before a test could skip: decide here. 77 tells CTest "skipped".
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        const bool required = qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == "1";
        fprintf(stderr,
                "%s: the desktop browser tests need an X display (run them under "
                "scripts/test-services.sh)\n",
                required ? "FAIL" : "SKIP");
        return required ? 1 : 77;
    }
    QApplication app(argc, argv);
    TestMdURLLabelOnDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "mdURLLabel_desktop_test.moc"
