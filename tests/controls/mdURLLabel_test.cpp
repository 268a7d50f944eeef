#include "controls/mdURLLabel.h"
#include "desktop/webBrowser.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

namespace {

// A browser that answers the registration question as told and records what it is asked.
struct FakeBrowser final : vortan::WebBrowser {
    bool canOpenWebPages() const override { return registered; }
    void openWebPage(const QString& address) const override { opened << address; }
    bool registered = true;
    mutable QStringList opened;
};

} // namespace

class TestMdURLLabel : public QObject {
    Q_OBJECT

private slots:
    void linkStateCaptionAndOpenedAddress();
    void linkFontWaitsForSetLabelTypeAndScreenReadersPress();
};

void TestMdURLLabel::linkStateCaptionAndOpenedAddress()
{
    using enum vortan::TmdLabelType;
    const struct {
        vortan::TmdLabelType type;
        bool registered;
        QString webPage;
        bool showHTTP;
        QString caption, opened; // opened empty: not a link
    } cases[] = {
        {Auto, true, "a.example", false, "a.example", "http://a.example"},
        {Auto, false, "a.example", false, "a.example", ""},
        {Link, false, "a.example", true, "http://a.example", "http://a.example"},
        {Passive, true, "a.example", false, "a.example", ""},
        {Auto, true, "http://a.example", true, "http://http://a.example",
         "http://http://a.example"},
    };
    for (const auto& c : cases) {
        auto browser = std::make_shared<FakeBrowser>();
        browser->registered = c.registered;
        vortan::TmdURLLabel label(browser);
        label.setWebPage(c.webPage);
        label.setShowHTTP(c.showHTTP);
        label.setLabelType(c.type);
        label.show();
        int clicks = 0;
        connect(&label, &vortan::TmdURLLabel::clicked, [&] { ++clicks; });
        const bool link = !c.opened.isEmpty();
        QCOMPARE(label.text(), c.caption);
        QCOMPARE(label.font().underline(), link);
        QCOMPARE(label.palette().color(QPalette::WindowText) == QColor(0, 0, 255), link);
        QCOMPARE(label.cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicks, 1); // the owner hears of every click
        QCOMPARE(browser->opened, link ? QStringList{c.opened} : QStringList{});
    }
}

void TestMdURLLabel::linkFontWaitsForSetLabelTypeAndScreenReadersPress()
{
    auto browser = std::make_shared<FakeBrowser>();
    vortan::TmdURLLabel label(browser);
    const QFont before = label.font();
    QFont big = label.font();
    big.setPixelSize(30);
    label.setLinkFont(big);
    label.setWebPage("vortan.example.org");
    QCOMPARE(label.font(), before);
    label.setLabelType(vortan::TmdLabelType::Auto); // the value it already has
    QCOMPARE(label.font().pixelSize(), 30);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(accessible && accessible->actionInterface());
    QCOMPARE(accessible->text(QAccessible::Name), QString("vortan.example.org"));
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened, QStringList{"http://vortan.example.org"});
    label.setLabelType(vortan::TmdLabelType::Passive);
    QVERIFY(accessible->actionInterface()->actionNames().isEmpty());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened.size(), 1);
}

QTEST_MAIN(TestMdURLLabel)
#include "mdURLLabel_test.moc"
