#include "app/exercise_text_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vortan;

class ExerciseTextDialogsTest : public QObject {
    Q_OBJECT

private:
    // Answers the next file dialog: notes the name it offers, then accepts the typed one
    // (or cancels when there is none).
    QString m_offered;
    void answerNextDialog(const QString& typed)
    {
        m_offered = QStringLiteral("<no dialog>");
        QTimer::singleShot(0, this, [this, typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            m_offered = dialog->selectedFiles().value(0);
            if (typed.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // the file dialog checks the name
        });
    }

private slots:
    void saveAddsTheSuffixRemembersTheNameAndAsksNoQuestion()
    {
        QTemporaryDir dir;
        ExerciseTextDialogs dialogs;
        answerNextDialog(dir.filePath(QStringLiteral("lesson")));
        QCOMPARE(dialogs.askSaveFile(nullptr), dir.filePath(QStringLiteral("lesson.txt")));

        // The next Save offers that name; an existing file is taken without a question.
        QFile existing(dir.filePath(QStringLiteral("lesson.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        answerNextDialog(dir.filePath(QStringLiteral("lesson.txt")));
        QCOMPARE(dialogs.askSaveFile(nullptr), dir.filePath(QStringLiteral("lesson.txt")));
        QCOMPARE(m_offered, dir.filePath(QStringLiteral("lesson.txt")));

        answerNextDialog(QString());
        QCOMPARE(dialogs.askSaveFile(nullptr), std::nullopt);
    }

    void openTakesAnyNameAsTypedAndKeepsItsOwnLastName()
    {
        QTemporaryDir dir;
        ExerciseTextDialogs dialogs;
        // A missing file without an extension: Open itself reports it.
        answerNextDialog(dir.filePath(QStringLiteral("missing")));
        QCOMPARE(dialogs.askOpenFile(nullptr), dir.filePath(QStringLiteral("missing")));
        QCOMPARE(dialogs.lastOpenName(), dir.filePath(QStringLiteral("missing")));
        QVERIFY(dialogs.lastSaveName().isEmpty());
    }
};

QTEST_MAIN(ExerciseTextDialogsTest)
#include "exercise_text_dialogs_test.moc"
