// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/mdURLLabel.h"
#include "desktop/webBrowser.h"
#include "support/property_notify.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

using namespace Qt::StringLiterals;

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

private Q_SLOTS:
    void linkStateCaptionAndOpenedAddress_data();
    void linkStateCaptionAndOpenedAddress();
    void linkFontWaitsForSetLabelTypeAndScreenReadersPress();
    void propertiesTellTheirChanges_data();
    void propertiesTellTheirChanges();
};

void TestMdURLLabel::linkStateCaptionAndOpenedAddress_data()
{
    using enum vortan::TmdLabelType;
    QTest::addColumn<vortan::TmdLabelType>("type");
    QTest::addColumn<bool>("registered"); // whether the desktop has a browser
    QTest::addColumn<QString>("webPage");
    QTest::addColumn<bool>("showHTTP");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("opened"); // empty: not a link
    QTest::newRow("auto with a browser")
        << Auto << true << u"a.example"_s << false << u"a.example"_s << u"http://a.example"_s;
    QTest::newRow("auto without a browser")
        << Auto << false << u"a.example"_s << false << u"a.example"_s << QString();
    QTest::newRow("link without a browser") << Link << false << u"a.example"_s << true
                                            << u"http://a.example"_s << u"http://a.example"_s;
    QTest::newRow("passive") << Passive << true << u"a.example"_s << false << u"a.example"_s
                             << QString();
    QTest::newRow("scheme given twice")
        << Auto << true << u"http://a.example"_s << true << u"http://http://a.example"_s
        << u"http://http://a.example"_s;
}

void TestMdURLLabel::linkStateCaptionAndOpenedAddress()
{
    QFETCH(vortan::TmdLabelType, type);
    QFETCH(bool, registered);
    QFETCH(QString, webPage);
    QFETCH(bool, showHTTP);
    QFETCH(QString, caption);
    QFETCH(QString, opened);
    auto browser = std::make_shared<FakeBrowser>();
    browser->registered = registered;
    vortan::TmdURLLabel label(browser);
    label.setWebPage(webPage);
    label.setShowHTTP(showHTTP);
    label.setLabelType(type);
    label.show();
    int clicks = 0;
    connect(&label, &vortan::TmdURLLabel::clicked, this, [&] { ++clicks; });
    const bool link = !opened.isEmpty();
    QCOMPARE(label.text(), caption);
    QCOMPARE(label.font().underline(), link);
    QCOMPARE(label.palette().color(QPalette::WindowText) == QColor(0, 0, 255), link);
    QCOMPARE(label.cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicks, 1); // the owner hears of every click
    QCOMPARE(browser->opened, link ? QStringList{opened} : QStringList{});
}

void TestMdURLLabel::linkFontWaitsForSetLabelTypeAndScreenReadersPress()
{
    auto browser = std::make_shared<FakeBrowser>();
    vortan::TmdURLLabel label(browser);
    const QFont before = label.font();
    QFont big = label.font();
    big.setPixelSize(30);
    label.setLinkFont(big);
    label.setWebPage(u"vortan.example.org"_s);
    QCOMPARE(label.font(), before);
    label.setLabelType(vortan::TmdLabelType::Auto); // the value it already has
    QCOMPARE(label.font().pixelSize(), 30);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(accessible && accessible->actionInterface());
    QCOMPARE(accessible->role(), QAccessible::Link);
    QCOMPARE(accessible->text(QAccessible::Name), u"vortan.example.org"_s);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened, QStringList{u"http://vortan.example.org"_s});
    label.setLabelType(vortan::TmdLabelType::Passive);
    QCOMPARE(accessible->role(), QAccessible::StaticText);
    QVERIFY(accessible->actionInterface()->actionNames().isEmpty());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(browser->opened.size(), 1);
}

void TestMdURLLabel::propertiesTellTheirChanges_data()
{
    vortan::testing::addPropertyRows(vortan::TmdURLLabel::staticMetaObject);
}

void TestMdURLLabel::propertiesTellTheirChanges()
{
    QFETCH(QByteArray, property);
    vortan::TmdURLLabel label(std::make_shared<FakeBrowser>());
    vortan::testing::checkNotifies(label, property);
}

QTEST_MAIN(TestMdURLLabel)
#include "mdURLLabel_test.moc"
