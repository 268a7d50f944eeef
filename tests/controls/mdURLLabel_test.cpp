#include "controls/mdURLLabel.h"
#include "platform/webBrowser.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>

namespace {

// A browser that answers the registration question as told and records what it is asked.
class FakeBrowser final : public vortan::WebBrowser {
public:
    explicit FakeBrowser(bool registered)
        : m_registered(registered)
    {
    }

    bool canOpenWebPages() const override
    {
        ++checks;
        return m_registered;
    }

    void openWebPage(const QString& address) const override { opened << address; }

    mutable int checks = 0;
    mutable QStringList opened;

private:
    bool m_registered;
};

const QColor blue(0, 0, 255);

} // namespace

class TestMdURLLabel : public QObject {
    Q_OBJECT

private slots:
    void linkStateFollowsTypeAndBrowser_data();
    void linkStateFollowsTypeAndBrowser();
    void clickRunsOnClickBeforeOpening();
    void onlyALeftClickOnTheLabelCounts();
    void captionAndOpenedAddress_data();
    void captionAndOpenedAddress();
    void fontsShowOnlyAfterSetLabelType();
    void browserIsAskedOnceAtConstruction();
    void readsAsALinkToScreenReaders();
};

void TestMdURLLabel::linkStateFollowsTypeAndBrowser_data()
{
    QTest::addColumn<vortan::TmdLabelType>("type");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("link");

    QTest::newRow("auto, browser") << vortan::TmdLabelType::Auto << true << true;
    QTest::newRow("auto, no browser") << vortan::TmdLabelType::Auto << false << false;
    QTest::newRow("link, no browser") << vortan::TmdLabelType::Link << false << true;
    QTest::newRow("link, browser") << vortan::TmdLabelType::Link << true << true;
    QTest::newRow("passive, browser") << vortan::TmdLabelType::Passive << true << false;
    QTest::newRow("passive, no browser") << vortan::TmdLabelType::Passive << false << false;
}

void TestMdURLLabel::linkStateFollowsTypeAndBrowser()
{
    QFETCH(vortan::TmdLabelType, type);
    QFETCH(bool, registered);
    QFETCH(bool, link);

    auto browser = std::make_shared<FakeBrowser>(registered);
    vortan::TmdURLLabel label(browser);
    label.setWebPage("vortan.example.org");
    label.setLabelType(type);
    label.show();

    QCOMPARE(label.actsAsLink(), link);
    QCOMPARE(label.font().underline(), link);
    QCOMPARE(label.palette().color(QPalette::WindowText) == blue, link);
    QCOMPARE(label.cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);

    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(browser->opened, link ? QStringList{"http://vortan.example.org"} : QStringList{});
}

void TestMdURLLabel::clickRunsOnClickBeforeOpening()
{
    auto browser = std::make_shared<FakeBrowser>(false);
    vortan::TmdURLLabel label(browser);
    label.setLabelType(vortan::TmdLabelType::Link);
    QList<qsizetype> openedAtEachClick;
    connect(&label, &vortan::TmdURLLabel::clicked,
            [&] { openedAtEachClick << browser->opened.size(); });
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(openedAtEachClick, QList<qsizetype>{0});
    QCOMPARE(browser->opened.size(), 1);

    // A passive label still tells its owner about the click.
    label.setLabelType(vortan::TmdLabelType::Passive);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(openedAtEachClick, (QList<qsizetype>{0, 1}));
    QCOMPARE(browser->opened.size(), 1);
}

void TestMdURLLabel::onlyALeftClickOnTheLabelCounts()
{
    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    label.show();
    QSignalSpy clicks(&label, &vortan::TmdURLLabel::clicked);

    QTest::mouseClick(&label, Qt::RightButton);
    QTest::mouseClick(&label, Qt::MiddleButton);
    // Pressed on the label, released after leaving it: the user changed their mind.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(label.width() + 20, 2));
    QCOMPARE(clicks.count(), 0);
    QVERIFY(browser->opened.isEmpty());

    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(browser->opened.size(), 1);
}

void TestMdURLLabel::captionAndOpenedAddress_data()
{
    QTest::addColumn<QString>("webPage");
    QTest::addColumn<bool>("showHTTP");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("opened");

    QTest::newRow("host") << "vortan.example.org" << false << "vortan.example.org"
                          << "http://vortan.example.org";
    QTest::newRow("host, prefix shown")
        << "vortan.example.org" << true << "http://vortan.example.org"
        << "http://vortan.example.org";
    QTest::newRow("scheme given") << "http://a.example" << false << "http://a.example"
                                  << "http://http://a.example";
    QTest::newRow("scheme given, prefix shown")
        << "http://a.example" << true << "http://http://a.example"
        << "http://http://a.example";
    QTest::newRow("ampersand shown as it is")
        << "a.example/?x=1&y=<b>" << false << "a.example/?x=1&y=<b>"
        << "http://a.example/?x=1&y=<b>";
}

void TestMdURLLabel::captionAndOpenedAddress()
{
    QFETCH(QString, webPage);
    QFETCH(bool, showHTTP);
    QFETCH(QString, caption);
    QFETCH(QString, opened);

    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    label.setWebPage(webPage);
    label.setShowHTTP(showHTTP);
    QCOMPARE(label.text(), caption);
    QCOMPARE(label.textFormat(), Qt::PlainText);
    // The label sizes itself to its caption.
    QCOMPARE(label.size(), label.sizeHint());

    label.click();
    QCOMPARE(browser->opened, QStringList{opened});
}

void TestMdURLLabel::fontsShowOnlyAfterSetLabelType()
{
    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    QVERIFY(label.actsAsLink());
    const QFont before = label.font();

    QFont big = label.font();
    big.setPixelSize(30);
    label.setLinkFont(big);
    label.setLinkColor(Qt::darkGreen);
    label.setPassiveFont(big);
    label.setWebPage("other.example");
    label.setShowHTTP(true);
    QCOMPARE(label.font(), before);
    QCOMPARE(label.palette().color(QPalette::WindowText), blue);

    label.setLabelType(vortan::TmdLabelType::Auto); // the value it already has
    QCOMPARE(label.font().pixelSize(), 30);
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::darkGreen));
    QCOMPARE(label.size(), label.sizeHint());
}

void TestMdURLLabel::browserIsAskedOnceAtConstruction()
{
    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    label.setLabelType(vortan::TmdLabelType::Passive);
    label.setLabelType(vortan::TmdLabelType::Auto);
    label.click();
    QCOMPARE(browser->checks, 1);
}

void TestMdURLLabel::readsAsALinkToScreenReaders()
{
    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    label.setWebPage("vortan.example.org");
    label.show();

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Link);
    QCOMPARE(accessible->text(QAccessible::Name), QString("vortan.example.org"));
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened, QStringList{"http://vortan.example.org"});

    label.setLabelType(vortan::TmdLabelType::Passive);
    QCOMPARE(accessible->role(), QAccessible::StaticText);
    QVERIFY(actions->actionNames().isEmpty());
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened.size(), 1);
}

QTEST_MAIN(TestMdURLLabel)
#include "mdURLLabel_test.moc"
