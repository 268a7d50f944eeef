// SPDX-License-Identifier: GPL-3.0-or-later
// The windows beyond the specified one, opened in English and in Polish, read as a screen
// reader reads them (Qt's accessibility interfaces, what the AT-SPI bridge passes on): their
// titles, a result, and no English left among the Polish texts.

#include "app/check/check_copy_window.h"
#include "app/language/interface_language.h"
#include "app/options/options_window.h"
#include "app/progress/progress_window.h"
#include "history/history_store.h"
#include "settings/options_store.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vortan;

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);
const QLocale polish(QLocale::Polish, QLocale::Poland);

// The three windows on a history and options of their own, made in the language installed.
struct Windows {
    QTemporaryDir folder;
    HistoryStore history{folder.filePath(QStringLiteral("history.sqlite")).toStdString()};
    OptionsStore options;
    CheckCopyWindow check{history, [](std::string_view) {}};
    ProgressWindow progress{history, [](std::string_view) {}};
    OptionsWindow optionsWindow{options};

    QList<QWidget*> all() { return {&check, &progress, &optionsWindow}; }

    // Sends a text, types a copy with one error and checks it.
    void checkACopy()
    {
        SentExercise sent;
        sent.text = "absta ggjj5\r\n";
        sent.settings = {.speed = 60, .spaces = 2};
        sent.characterSet = "abstgj";
        check.setSentExercise(sent);
        check.show();
        check.findChild<QPlainTextEdit*>(QStringLiteral("copyEdit"))
            ->setPlainText(QStringLiteral("absta ggjjh"));
        QTest::mouseClick(check.findChild<QPushButton*>(QStringLiteral("checkButton")),
                          Qt::LeftButton);
    }
};

QString accessibleText(QWidget* widget, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which) : QString();
}

// Every text a user reads or hears in a window, the window's own included.
QSet<QString> textsOf(QWidget* window)
{
    QSet<QString> texts;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        texts << widget->windowTitle() << widget->toolTip()
              << accessibleText(widget, QAccessible::Name)
              << accessibleText(widget, QAccessible::Description);
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            texts << group->title();
        if (auto* spinBox = qobject_cast<QAbstractSpinBox*>(widget))
            texts << spinBox->specialValueText();
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        if (auto* table = qobject_cast<QTableWidget*>(widget))
            for (int i = 0; i < table->columnCount(); ++i)
                texts << table->horizontalHeaderItem(i)->text();
    }
    texts.remove(QString());
    return texts;
}

} // namespace

class TestInterfaceLanguage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenByLocale_data();
    void chosenByLocale();
    void titlesAndResultInEachLanguage_data();
    void titlesAndResultInEachLanguage();
    void noEnglishLeftInPolish();
};

void TestInterfaceLanguage::chosenByLocale_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("translated");
    QTest::newRow("Polish") << QStringLiteral("pl_PL") << true;
    QTest::newRow("Polish without a country") << QStringLiteral("pl") << true;
    QTest::newRow("English") << QStringLiteral("en_GB") << false;
    QTest::newRow("a language without a translation") << QStringLiteral("de_DE") << false;
    QTest::newRow("C") << QStringLiteral("C") << false;
}

void TestInterfaceLanguage::chosenByLocale()
{
    QFETCH(QString, name);
    QFETCH(bool, translated);
    const QString before = OptionsWindow::tr("Options");
    {
        const InterfaceLanguage language{QLocale(name)};
        QCOMPARE(language.isTranslated(), translated);
        QCOMPARE(OptionsWindow::tr("Options"),
                 translated ? QStringLiteral("Opcje") : QStringLiteral("Options"));
    }
    // Gone with the object: the next window speaks English again.
    QCOMPARE(OptionsWindow::tr("Options"), before);
}

void TestInterfaceLanguage::titlesAndResultInEachLanguage_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("closeButton");

    QTest::newRow("English") << english
                             << QStringList{QStringLiteral("Check copy"),
                                            QStringLiteral("Progress"), QStringLiteral("Options")}
                             << QStringLiteral("Accuracy 90.0 per cent: 9 right of 10 sent. "
                                               "Errors: 1 (1 wrong, 0 missed, 0 extra). "
                                               "Group 2: 5 written as h.")
                             << QStringLiteral("Close");
    QTest::newRow("Polish") << polish
                            << QStringList{QStringLiteral("Sprawdzanie odbioru"),
                                           QStringLiteral("Postępy"), QStringLiteral("Opcje")}
                            << QStringLiteral("Dokładność 90,0 procent: poprawnie 9 z 10 "
                                              "nadanych znaków. 1 błąd (źle odebrane: 1, "
                                              "pominięte: 0, nadmiarowe: 0). Grupa 2: zamiast 5 "
                                              "zapisano h.")
                            << QStringLiteral("Zamknij");
}

void TestInterfaceLanguage::titlesAndResultInEachLanguage()
{
    QFETCH(QLocale, locale);
    QFETCH(QStringList, titles);
    QFETCH(QString, summary);
    QFETCH(QString, closeButton);
    const InterfaceLanguage language{locale};
    Windows windows;
    QStringList shown;
    for (QWidget* window : windows.all())
        shown << accessibleText(window, QAccessible::Name);
    QCOMPARE(shown, titles);
    for (QWidget* window : windows.all())
        QCOMPARE(window->windowTitle(), accessibleText(window, QAccessible::Name));

    windows.checkACopy();
    // The result as a screen reader hears it with the aligned rows.
    auto* aligned = windows.check.findChild<QWidget*>(QStringLiteral("alignedView"));
    QCOMPARE(accessibleText(aligned, QAccessible::Description), summary);
    auto* close = windows.check.findChild<QPushButton*>(QStringLiteral("closeButton"));
    QCOMPARE(accessibleText(close, QAccessible::Name), closeButton);
}

void TestInterfaceLanguage::noEnglishLeftInPolish()
{
    QSet<QString> englishTexts;
    {
        Windows windows;
        windows.checkACopy();
        for (QWidget* window : windows.all())
            englishTexts += textsOf(window);
    }
    QSet<QString> left;
    {
        const InterfaceLanguage language{polish};
        Windows windows;
        windows.checkACopy();
        for (QWidget* window : windows.all())
            left += textsOf(window) & englishTexts;
    }
    // The same in both: figures, the aligned rows' marks and words Polish shares.
    left.removeIf([](const QString& text) {
        static const QSet<QString> shared{QStringLiteral("Tempo")};
        return shared.contains(text) || !text.contains(QRegularExpression(QStringLiteral("[a-z]")));
    });
    QVERIFY2(left.isEmpty(), qPrintable(QStringList(left.values()).join(QStringLiteral(" | "))));
}

QTEST_MAIN(TestInterfaceLanguage)
#include "interface_language_test.moc"
