// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_aggregates.h"

#include "history/local_days.h"
#include "history/sql_statements.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vortan {

namespace {

void run(QSqlQuery& query)
{
    if (!query.exec())
        fail(query.lastError());
}

} // namespace

void createAggregates(QSqlDatabase& database)
{
    execute(database, QStringLiteral(R"(
        CREATE TABLE check_days (
            character_set BLOB NOT NULL,
            day INTEGER NOT NULL,
            checks INTEGER NOT NULL,
            sent_count INTEGER NOT NULL,
            correct_count INTEGER NOT NULL,
            PRIMARY KEY (character_set, day)) WITHOUT ROWID)"));
    execute(database, QStringLiteral(R"(
        CREATE TABLE outcome_totals (
            character_set BLOB NOT NULL,
            sent INTEGER NOT NULL,
            typed INTEGER NOT NULL,
            count INTEGER NOT NULL,
            PRIMARY KEY (character_set, sent, typed)) WITHOUT ROWID)"));
    execute(database, QStringLiteral(R"(
        CREATE TABLE character_days (
            character INTEGER NOT NULL,
            day INTEGER NOT NULL,
            sent_count INTEGER NOT NULL,
            correct_count INTEGER NOT NULL,
            PRIMARY KEY (character, day)) WITHOUT ROWID)"));
    // The tempo chart and the set filter's list read only these columns.
    execute(database, QStringLiteral("CREATE INDEX checks_by_set ON checks"
                                     " (character_set, tempo, sent_count, correct_count,"
                                     " checked_at_ms)"));
    recountAggregates(database);
}

void recountAggregates(QSqlDatabase& database)
{
    for (const char* table : {"check_days", "outcome_totals", "character_days"})
        execute(database, QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    QSqlQuery select(database);
    select.setForwardOnly(true);
    if (!select.exec(QStringLiteral(
            "SELECT c.character_set, c.checked_at_ms, c.sent_count, c.correct_count, o.pairs"
            " FROM checks c JOIN check_outcomes o ON o.check_id = c.id")))
        fail(select.lastError());
    AggregateCounts counts;
    while (select.next())
        counts.add(view(select.value(0).toByteArray()), select.value(1).toLongLong(),
                   select.value(2).toInt(), select.value(3).toInt(),
                   view(select.value(4).toByteArray()));
    if (select.lastError().isValid())
        fail(select.lastError());
    counts.write(database);
}

void AggregateCounts::add(std::string_view characterSet, std::int64_t checkedAtMs, int sentCount,
                          int correct, std::string_view pairs)
{
    if (sentCount <= 0)
        return;
    const std::int64_t day = localDay(checkedAtMs);
    Sums& setDay = m_setDays[{std::string(characterSet), day}];
    ++setDay.checks;
    setDay.sent += sentCount;
    setDay.correct += correct;
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        const auto sent = static_cast<unsigned char>(pairs[i]);
        const auto typed = static_cast<unsigned char>(pairs[i + 1]);
        ++m_outcomes[{std::string(characterSet), sent, typed}];
        if (sent == 0)
            continue;
        Sums& characterDay = m_characterDays[{sent, day}];
        ++characterDay.sent;
        characterDay.correct += typed == sent ? 1 : 0;
    }
}

void AggregateCounts::write(QSqlDatabase& database) const
{
    QSqlQuery setDays(database);
    setDays.prepare(QStringLiteral(
        "INSERT INTO check_days (character_set, day, checks, sent_count, correct_count)"
        " VALUES (?, ?, ?, ?, ?) ON CONFLICT DO UPDATE SET checks = checks + excluded.checks,"
        " sent_count = sent_count + excluded.sent_count,"
        " correct_count = correct_count + excluded.correct_count"));
    for (const auto& [key, sums] : m_setDays) {
        setDays.addBindValue(bytes(key.first));
        setDays.addBindValue(qint64{key.second});
        setDays.addBindValue(sums.checks);
        setDays.addBindValue(sums.sent);
        setDays.addBindValue(sums.correct);
        run(setDays);
    }
    QSqlQuery outcomes(database);
    outcomes.prepare(QStringLiteral(
        "INSERT INTO outcome_totals (character_set, sent, typed, count) VALUES (?, ?, ?, ?)"
        " ON CONFLICT DO UPDATE SET count = count + excluded.count"));
    for (const auto& [key, count] : m_outcomes) {
        outcomes.addBindValue(bytes(std::get<0>(key)));
        outcomes.addBindValue(int{std::get<1>(key)});
        outcomes.addBindValue(int{std::get<2>(key)});
        outcomes.addBindValue(count);
        run(outcomes);
    }
    QSqlQuery characterDays(database);
    characterDays.prepare(
        QStringLiteral("INSERT INTO character_days (character, day, sent_count, correct_count)"
                       " VALUES (?, ?, ?, ?) ON CONFLICT DO UPDATE SET"
                       " sent_count = sent_count + excluded.sent_count,"
                       " correct_count = correct_count + excluded.correct_count"));
    for (const auto& [key, sums] : m_characterDays) {
        characterDays.addBindValue(int{key.first});
        characterDays.addBindValue(qint64{key.second});
        characterDays.addBindValue(sums.sent);
        characterDays.addBindValue(sums.correct);
        run(characterDays);
    }
}

} // namespace vortan
