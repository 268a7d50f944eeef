// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text_dialogs.h"
#include "app/single_file_dialog.h"
#include "support/file_dialog_typing.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vortan;

class SingleFileDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theTypedNameIsTheFileChosen_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        // q.txt and x.txt lie in the folder, as do the files opened.
        QTest::newRow("save, quotes inside") << true << R"(my "q" notes)"
                                             << R"(my "q" notes.txt)";
        QTest::newRow("save, one quoted name") << true << R"("x")"
                                               << R"("x".txt)";
        QTest::newRow("open, quoted name") << false << R"("q.txt")"
                                           << R"("q.txt")";
    }

    void theTypedNameIsTheFileChosen()
    {
        QFETCH(bool, saving);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        for (const QString& name :
             {QStringLiteral("q.txt"), QStringLiteral("x.txt"),
              QStringLiteral(R"(my "q" notes.txt)"), QStringLiteral(R"("q.txt")")}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        ExerciseTextDialogs dialogs;
        QWidget window;
        QTimer::singleShot(0, &window, [&] { test::typeIntoFileDialog(dir.path(), typed); });
        const std::optional<QString> path =
            saving ? dialogs.askSaveFile(&window) : dialogs.askOpenFile(&window);
        QCOMPARE(path.value_or(QStringLiteral("<cancelled>")), dir.filePath(chosen));
    }
};

QTEST_MAIN(SingleFileDialogTest)
#include "single_file_dialog_test.moc"
