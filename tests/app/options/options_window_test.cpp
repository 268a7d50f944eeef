// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/options_window.h"
#include "settings/band_conditions.h"
#include "settings/options_store.h"

#include <QCheckBox>
#include <QComboBox>
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
    void changesGoToTheStoreAndAreAnnounced_data();
    void changesGoToTheStoreAndAreAnnounced();
    void bandConditionsByNameAndByNumber();
};

void TestOptionsWindow::changesGoToTheStoreAndAreAnnounced_data()
{
    QTest::addColumn<bool>("onRise");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<ProgramOptions>("expected");
    QTest::addColumn<int>("announced"); // changes of the option the keys went to

    QTestEventList pastTheTop;
    pastTheTop.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    pastTheTop.addKeyClicks(QStringLiteral("25"));
    QTest::newRow("rise typed past the top") << true << pastTheTop << ProgramOptions{2, 0, 0} << 1;

    QTestEventList typed;
    typed.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    typed.addKeyClicks(QStringLiteral("1500"));
    QTest::newRow("lead-in typed") << false << typed << ProgramOptions{0, 1500, 0} << 4;
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

void TestOptionsWindow::bandConditionsByNameAndByNumber()
{
    using vortan::BandConditions;
    OptionsStore store;
    OptionsWindow window(store);
    QSignalSpy changed(&window, &OptionsWindow::bandConditionsChanged);
    window.showOptions();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* startingPoint = window.findChild<QComboBox*>();
    QVERIFY(startingPoint);
    QCOMPARE(startingPoint->currentText(), QStringLiteral("Quiet"));

    // Picked from the keyboard, by name.
    startingPoint->setFocus();
    QTest::keyClick(startingPoint, Qt::Key_Down);
    QTest::keyClick(startingPoint, Qt::Key_Down);
    QCOMPARE(startingPoint->currentText(), QStringLiteral("Busy band"));
    QCOMPARE(store.conditions(), vortan::namedConditions()[2].conditions);
    QCOMPARE(changed.count(), 2);

    // A third station, typed: the values no longer match a name.
    QCheckBox* third = nullptr;
    QSpinBox* thirdLevel = nullptr;
    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        third = box->text().contains(QLatin1Char('3')) ? box : third;
    for (QSpinBox* box : window.findChildren<QSpinBox*>())
        thirdLevel =
            box->accessibleName() == QStringLiteral("Station 3 level in dB against the signal")
                ? box
                : thirdLevel;
    QVERIFY(third && thirdLevel);
    QVERIFY(!thirdLevel->isEnabled());
    QTest::keyClick(third, Qt::Key_Space);
    QVERIFY(thirdLevel->isEnabled());
    thirdLevel->selectAll();
    QTest::keyClicks(thirdLevel, QStringLiteral("-9"));
    BandConditions expected = vortan::namedConditions()[2].conditions;
    expected.qrm.push_back({.offsetHz = 0, .levelDb = -9, .speed = 0});
    QCOMPARE(store.conditions(), expected);
    QCOMPARE(startingPoint->currentText(), QStringLiteral("Custom"));

    // Shown again from the store, nothing announced.
    const auto announced = changed.count();
    store.setConditions({});
    window.close();
    window.showOptions();
    QCOMPARE(startingPoint->currentText(), QStringLiteral("Quiet"));
    QVERIFY(!third->isChecked());
    QCOMPARE(changed.count(), announced);
}

QTEST_MAIN(TestOptionsWindow)
#include "options_window_test.moc"
