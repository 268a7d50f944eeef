#include "controls/mdURLLabel.h"
#include "platform/webBrowser.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

namespace {

// A browser that answers the registration question as told and records what it is asked.
struct FakeBrowser final : vortan::WebBrowser {
    explicit FakeBrowser(bool answer)
        : registered(answer)
    {
    }
    bool canOpenWebPages() const override { return registered; }
    void openWebPage(const QString& address) const override { opened << address; }
    bool registered;
    mutable QStringList opened;
};

} // namespace

class TestMdURLLabel : public QObject {
    Q_OBJECT

private slots:
    void linkStateFollowsTypeAndBrowser();
    void captionAndOpenedAddress();
    void fontsShowOnlyAfterSetLabelType();
    void readsAsALinkToScreenReaders();
};

void TestMdURLLabel::linkStateFollowsTypeAndBrowser()
{
    using enum vortan::TmdLabelType;
    const struct {
        vortan::TmdLabelType type;
        bool registered, link;
    } cases[] = {
        {Auto, true, true}, {Auto, false, false}, {Link, false, true}, {Passive, true, false}};
    for (const auto& c : cases) {
        auto browser = std::make_shared<FakeBrowser>(c.registered);
        vortan::TmdURLLabel label(browser);
        label.setWebPage("vortan.example.org");
        label.setLabelType(c.type);
        label.show();
        int clicks = 0;
        connect(&label, &vortan::TmdURLLabel::clicked, [&] { ++clicks; });
        QCOMPARE(label.font().underline(), c.link);
        QCOMPARE(label.palette().color(QPalette::WindowText) == QColor(0, 0, 255), c.link);
        QCOMPARE(label.cursor().shape(), c.link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicks, 1); // the owner hears of every click
        QCOMPARE(browser->opened,
                 c.link ? QStringList{"http://vortan.example.org"} : QStringList{});
    }
}

void TestMdURLLabel::captionAndOpenedAddress()
{
    const struct {
        QString webPage;
        bool showHTTP;
        QString caption, opened;
    } cases[] = {
        {"a.example", false, "a.example", "http://a.example"},
        {"a.example", true, "http://a.example", "http://a.example"},
        {"http://a.example", true, "http://http://a.example", "http://http://a.example"},
    };
    for (const auto& c : cases) {
        auto browser = std::make_shared<FakeBrowser>(true);
        vortan::TmdURLLabel label(browser);
        label.setWebPage(c.webPage);
        label.setShowHTTP(c.showHTTP);
        QCOMPARE(label.text(), c.caption);
        label.click();
        QCOMPARE(browser->opened, QStringList{c.opened});
    }
}

void TestMdURLLabel::fontsShowOnlyAfterSetLabelType()
{
    vortan::TmdURLLabel label(std::make_shared<FakeBrowser>(true));
    const QFont before = label.font();
    QFont big = label.font();
    big.setPixelSize(30);
    label.setLinkFont(big);
    label.setWebPage("other.example");
    QCOMPARE(label.font(), before);
    label.setLabelType(vortan::TmdLabelType::Auto); // the value it already has
    QCOMPARE(label.font().pixelSize(), 30);
}

void TestMdURLLabel::readsAsALinkToScreenReaders()
{
    auto browser = std::make_shared<FakeBrowser>(true);
    vortan::TmdURLLabel label(browser);
    label.setWebPage("vortan.example.org");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QString("vortan.example.org"));
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened, QStringList{"http://vortan.example.org"});

    label.setLabelType(vortan::TmdLabelType::Passive);
    QVERIFY(actions->actionNames().isEmpty());
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened.size(), 1);
}

QTEST_MAIN(TestMdURLLabel)
#include "mdURLLabel_test.moc"
