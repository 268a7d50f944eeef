// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands/command_runner.h"
#include "base/errors.h"

#include <QTest>

using namespace Qt::StringLiterals;

class CommandRunnerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void errorsEndTheCommandAndReachTheReporter_data()
    {
        QTest::addColumn<int>("failure"); // 0 none, 1 vortan::Error, 2 not an exception class
        QTest::addColumn<QStringList>("reported");
        QTest::newRow("runs to its end") << 0 << QStringList();
        QTest::newRow("error") << 1 << QStringList{u"Disk full."_s};
        QTest::newRow("anything else") << 2 << QStringList{u"Unexpected error."_s};
    }

    void errorsEndTheCommandAndReachTheReporter()
    {
        QFETCH(int, failure);
        QFETCH(QStringList, reported);
        QStringList messages;
        const vortan::CommandRunner runner([&messages](const QString& text) { messages << text; });
        bool ended = false;
        const bool ranToItsEnd = runner.run([&] {
            if (failure == 1)
                throw vortan::Error("Disk full");
            if (failure == 2)
                throw 42;
            ended = true;
        });
        QCOMPARE(ranToItsEnd, failure == 0);
        QCOMPARE(ended, failure == 0);
        QCOMPARE(messages, reported);
    }
};

QTEST_MAIN(CommandRunnerTest)
#include "command_runner_test.moc"
