// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/options_window.h"
#include "settings/options_store.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using vortan::OptionId;
using vortan::OptionsStore;
using vortan::OptionsWindow;
using vortan::ProgramOptions;

Q_DECLARE_METATYPE(ProgramOptions)

namespace {

// The spin boxes by their screen reader names.
QSpinBox* box(const OptionsWindow& window, bool rise)
{
    const QString name = rise ? QStringLiteral("Rise") : QStringLiteral("Lead-in");
    for (QSpinBox* spinBox : window.findChildren<QSpinBox*>()) {
        if (spinBox->accessibleName().startsWith(name))
            return spinBox;
    }
    return nullptr;
}

} // namespace

class TestOptionsWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheStoresValuesWithinTheRanges();
    void changesGoToTheStoreAndAreAnnounced_data();
    void changesGoToTheStoreAndAreAnnounced();
    void keysReachEveryControlAndScreenReadersNameThem();
};

void TestOptionsWindow::showsTheStoresValuesWithinTheRanges()
{
    OptionsStore store;
    store.setValue(OptionId::Rise, 7);
    store.setValue(OptionId::LeadIn, 1200);
    OptionsWindow window(store);
    QSignalSpy softKeying(&window, &OptionsWindow::softKeyingChanged);
    QSignalSpy leadIn(&window, &OptionsWindow::leadInChanged);
    window.showOptions();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(box(window, true)->text(), QStringLiteral("7 ms"));
    QCOMPARE(box(window, false)->text(), QStringLiteral("1200 ms"));
    QCOMPARE(box(window, true)->minimum(), 0);
    QCOMPARE(box(window, true)->maximum(), 10);
    QCOMPARE(box(window, false)->minimum(), 0);
    QCOMPARE(box(window, false)->maximum(), 3000);

    // Changed while hidden, the store's values show at the next showing; off reads "Off".
    window.close();
    store.setValue(OptionId::Rise, 0);
    window.showOptions();
    QCOMPARE(box(window, true)->text(), QStringLiteral("Off"));
    QCOMPARE(softKeying.count() + leadIn.count(), 0);
    QCOMPARE(store.options(), (ProgramOptions{0, 1200}));
}

void TestOptionsWindow::changesGoToTheStoreAndAreAnnounced_data()
{
    QTest::addColumn<bool>("onRise");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<ProgramOptions>("expected");
    QTest::addColumn<int>("announced"); // changes of the option the keys went to

    QTestEventList pastTheTop;
    pastTheTop.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    pastTheTop.addKeyClicks(QStringLiteral("25"));
    QTest::newRow("rise typed past the top") << true << pastTheTop << ProgramOptions{2, 0} << 1;

    QTestEventList pageUp;
    pageUp.addKeyClick(Qt::Key_PageUp);
    pageUp.addKeyClick(Qt::Key_PageUp);
    QTest::newRow("rise page up to the top") << true << pageUp << ProgramOptions{10, 0} << 1;

    QTestEventList typed;
    typed.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    typed.addKeyClicks(QStringLiteral("1500"));
    QTest::newRow("lead-in typed") << false << typed << ProgramOptions{0, 1500} << 4;
}

void TestOptionsWindow::changesGoToTheStoreAndAreAnnounced()
{
    QFETCH(bool, onRise);
    QFETCH(QTestEventList, keys);
    QFETCH(ProgramOptions, expected);
    QFETCH(int, announced);

    OptionsStore store;
    OptionsWindow window(store);
    QSignalSpy softKeying(&window, &OptionsWindow::softKeyingChanged);
    QSignalSpy leadIn(&window, &OptionsWindow::leadInChanged);
    window.showOptions();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    keys.simulate(box(window, onRise));

    QCOMPARE(store.options(), expected);
    QSignalSpy& changed = onRise ? softKeying : leadIn;
    QSignalSpy& unchanged = onRise ? leadIn : softKeying;
    QCOMPARE(changed.count(), announced);
    QCOMPARE(unchanged.count(), 0);
    if (announced > 0) {
        QCOMPARE(changed.last().at(0).toInt(), onRise ? expected.riseMs : expected.leadInMs);
    }
}

void TestOptionsWindow::keysReachEveryControlAndScreenReadersNameThem()
{
    OptionsStore store;
    OptionsWindow window(store);
    window.showOptions();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // The captions' mnemonics, then Tab from the first control to the last.
    QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), box(window, false));
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), box(window, true));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box(window, false));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* close = qobject_cast<QPushButton*>(QApplication::focusWidget());
    QVERIFY(close != nullptr);

    for (QWidget* control : window.findChildren<QWidget*>()) {
        // A spin box's edit field hands its focus to the box, which screen readers announce.
        if (control->focusPolicy() == Qt::NoFocus || control->focusProxy() != nullptr)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                 control->metaObject()->className());
    }

    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(!window.isVisible()); // a mnemonic clicks after the button has shown it
    window.showOptions();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestOptionsWindow)
#include "options_window_test.moc"
