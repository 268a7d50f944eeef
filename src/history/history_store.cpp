// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_store.h"

#include "base/errors.h"
#include "files/file_descriptor.h"
#include "files/io_errors.h"
#include "files/private_folder.h"
#include "files/symbolic_links.h"
#include "files/xdg_paths.h"
#include "history/history_aggregates.h"
#include "history/history_transfer.h"
#include "history/local_days.h"
#include "history/sql_statements.h"
#include "scoring/drill_set.h"
#include "scoring/next_set_rule.h"
#include "settings/transmission_tempo.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <system_error>
#include <utility>
#include <vector>

namespace vortan {

namespace {

const QString kThresholdOption = QStringLiteral("advance_threshold_percent");
const QString kTargetOption = QStringLiteral("advance_target_ms");

// The schema, one step per version: a new file takes every step, an old one the steps it
// lacks, in one transaction.
using SchemaStep = std::function<void(QSqlDatabase&)>;

void insertOutcomes(QSqlDatabase& database, const QVariant& checkId, const CopyScore& score);
void scoreKeptChecksAgain(QSqlDatabase& database);

const std::vector<SchemaStep>& schemaSteps()
{
    static const std::vector<SchemaStep> steps{
        // 1: one row per check.
        [](QSqlDatabase& database) {
            execute(database, QStringLiteral(R"(
                CREATE TABLE checks (
                    id INTEGER PRIMARY KEY,
                    checked_at_ms INTEGER NOT NULL,
                    sent_at_ms INTEGER NOT NULL,
                    speed INTEGER NOT NULL,
                    spaces INTEGER NOT NULL,
                    tone INTEGER NOT NULL,
                    noise INTEGER NOT NULL,
                    straight INTEGER NOT NULL,
                    tempo INTEGER NOT NULL,
                    seed INTEGER NOT NULL,
                    character_set BLOB NOT NULL,
                    sent_text BLOB NOT NULL,
                    copy_text BLOB NOT NULL,
                    sent_count INTEGER NOT NULL,
                    correct_count INTEGER NOT NULL,
                    wrong_count INTEGER NOT NULL,
                    missed_count INTEGER NOT NULL,
                    extra_count INTEGER NOT NULL))"));
            execute(database,
                    QStringLiteral("CREATE INDEX checks_by_time ON checks (checked_at_ms)"));
        },
        // 2: the outcome of every scored character, so that the progress figures are counted
        // and not scored again; the progress view's own settings.
        [](QSqlDatabase& database) {
            execute(database, QStringLiteral(R"(
                CREATE TABLE check_outcomes (
                    check_id INTEGER PRIMARY KEY REFERENCES checks (id) ON DELETE CASCADE,
                    pairs BLOB NOT NULL))"));
            execute(database,
                    QStringLiteral("CREATE TABLE options (name TEXT PRIMARY KEY, value NOT NULL)"));
            scoreKeptChecksAgain(database);
        },
        // 3: the band conditions a check was sent with, as their summary; empty for none.
        [](QSqlDatabase& database) {
            execute(database,
                    QStringLiteral(
                        "ALTER TABLE checks ADD COLUMN conditions TEXT NOT NULL DEFAULT ''"));
        },
        // 4: every kept check scored again by the alignment that knows moved groups and
        // invents no confusions, so that the figures lose the false pairs; a drill's checks
        // under the set it drills.
        [](QSqlDatabase& database) {
            scoreKeptChecksAgain(database);
            QSqlQuery sets(database);
            if (!sets.exec(QStringLiteral("SELECT DISTINCT character_set FROM checks")))
                fail(sets.lastError());
            std::vector<QByteArray> drills;
            while (sets.next()) {
                const QByteArray set = sets.value(0).toByteArray();
                if (drilledSet(view(set)) != view(set))
                    drills.push_back(set);
            }
            QSqlQuery move(database);
            move.prepare(
                QStringLiteral("UPDATE checks SET character_set = ? WHERE character_set = ?"));
            for (const QByteArray& set : drills) {
                move.addBindValue(bytes(drilledSet(view(set))));
                move.addBindValue(set);
                if (!move.exec())
                    fail(move.lastError());
            }
        },
        // 5: sums per day, per outcome and per character, so that the progress view of a long
        // history reads no check; kept with each check.
        [](QSqlDatabase& database) { createAggregates(database); },
        // 6: the rest of what a check's sound depends on, so that a kept check can be rendered
        // again: the generator's seed for the noise and tone, the soft keying's rise and the
        // lead-in played before it. Checks kept before have them unknown (NULL).
        [](QSqlDatabase& database) {
            for (const QString& column : {QStringLiteral("buffer_seed"), QStringLiteral("rise_ms"),
                                          QStringLiteral("lead_in_ms")})
                execute(database,
                        QStringLiteral("ALTER TABLE checks ADD COLUMN %1 INTEGER").arg(column));
        },
        // 7: for a copy typed along, each outcome's recognition time (NULL where it has none)
        // and whether it was typed before its sound ended. Checks kept before, and those not
        // typed along, have no rows: their times are unknown.
        [](QSqlDatabase& database) {
            execute(database, QStringLiteral(R"(
                CREATE TABLE outcome_times (
                    check_id INTEGER NOT NULL REFERENCES checks (id) ON DELETE CASCADE,
                    position INTEGER NOT NULL,
                    character BLOB NOT NULL,
                    recognition_ms INTEGER,
                    anticipated INTEGER NOT NULL,
                    PRIMARY KEY (check_id, position)))"));
        },
    };
    return steps;
}

void insertOutcomes(QSqlDatabase& database, const QVariant& checkId, const CopyScore& score)
{
    QSqlQuery insert(database);
    insert.prepare(
        QStringLiteral("INSERT OR REPLACE INTO check_outcomes (check_id, pairs) VALUES (?, ?)"));
    insert.addBindValue(checkId);
    insert.addBindValue(bytes(outcomePairs(score)));
    if (!insert.exec())
        fail(insert.lastError());
}

// Kept checks scored anew from their raw copies, the counts and outcomes with them; one too
// long to score keeps what it has.
void scoreKeptChecksAgain(QSqlDatabase& database)
{
    struct Kept {
        QVariant id;
        QByteArray sent;
        QByteArray copy;
    };
    std::vector<Kept> kept;
    QSqlQuery select(database);
    select.setForwardOnly(true);
    if (!select.exec(QStringLiteral("SELECT id, sent_text, copy_text FROM checks")))
        fail(select.lastError());
    while (select.next())
        kept.push_back(
            {select.value(0), select.value(1).toByteArray(), select.value(2).toByteArray()});
    if (select.lastError().isValid())
        fail(select.lastError());

    QSqlQuery update(database);
    update.prepare(QStringLiteral(
        "UPDATE checks SET sent_count = ?, correct_count = ?, wrong_count = ?, missed_count = ?,"
        " extra_count = ? WHERE id = ?"));
    for (const Kept& check : kept) {
        CopyScore score;
        try {
            score = scoreCopy(view(check.sent), view(check.copy));
        } catch (const Error&) {
            continue; // too long to score: it keeps its counts and adds no outcomes
        }
        for (const int count :
             {score.sentCount, score.correct, score.wrong, score.missed, score.extra})
            update.addBindValue(count);
        update.addBindValue(check.id);
        if (!update.exec())
            fail(update.lastError());
        insertOutcomes(database, check.id, score);
    }
}

// The recognition times of a check typed along, one row per outcome (position from 1).
void insertOutcomeTimes(QSqlDatabase& database, const QVariant& checkId, const CopyCheck& check)
{
    const std::vector<ScoredCharacter>& characters = check.score.characters;
    if (check.recognition.size() != characters.size())
        return; // not typed along
    QSqlQuery insert(database);
    insert.prepare(QStringLiteral(
        "INSERT INTO outcome_times (check_id, position, character, recognition_ms, anticipated)"
        " VALUES (:check_id, :position, :character, :recognition_ms, :anticipated)"));
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::optional<RecognitionTime>& time = check.recognition[i];
        const char sent = static_cast<char>(characters[i].sent);
        insert.bindValue(QStringLiteral(":check_id"), checkId);
        insert.bindValue(QStringLiteral(":position"), qint64(i + 1));
        insert.bindValue(QStringLiteral(":character"), bytes(std::string_view(&sent, 1)));
        insert.bindValue(QStringLiteral(":recognition_ms"),
                         time ? QVariant(time->milliseconds) : QVariant());
        insert.bindValue(QStringLiteral(":anticipated"), time && time->anticipated ? 1 : 0);
        if (!insert.exec())
            fail(insert.lastError());
    }
}

// One check and its outcomes, inside the caller's transaction.
void insertCheck(QSqlDatabase& database, const CopyCheck& check)
{
    const SynthesisSettings& settings = check.sent.settings;
    const CopyScore& score = check.score;
    // A check imported from a history that did not record them leaves them unknown.
    const auto known = [&check](const QVariant& value) {
        return check.sent.renderingKnown ? value : QVariant();
    };
    const std::pair<const char*, QVariant> columns[] = {
        {"checked_at_ms", qint64{check.checkedAtMs}},
        {"sent_at_ms", qint64{check.sent.sentAtMs}},
        {"speed", settings.speed},
        {"spaces", settings.spaces},
        {"tone", settings.tone},
        {"noise", settings.noise},
        {"straight", settings.straight},
        {"tempo", transmissionTempo(settings.speed, settings.spaces)},
        {"seed", qint64{check.sent.seed}},
        {"character_set", bytes(check.sent.characterSet)},
        {"sent_text", bytes(check.sent.text)},
        {"copy_text", bytes(check.copy)},
        {"sent_count", score.sentCount},
        {"correct_count", score.correct},
        {"wrong_count", score.wrong},
        {"missed_count", score.missed},
        {"extra_count", score.extra},
        {"buffer_seed", known(qint64{check.sent.bufferSeed})},
        {"rise_ms", known(check.sent.riseMs)},
        {"lead_in_ms", known(check.sent.leadInMs)},
    };
    // Each value is bound by its column's name, so that a column cannot slip to its neighbour.
    QStringList names;
    QStringList placeholders;
    for (const auto& [name, value] : columns) {
        names << QString::fromLatin1(name);
        placeholders << u':' + QString::fromLatin1(name);
    }
    QSqlQuery insert(database);
    insert.prepare(
        QStringLiteral("INSERT INTO checks (%1) VALUES (%2)")
            .arg(names.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))));
    for (const auto& [name, value] : columns)
        insert.bindValue(u':' + QString::fromLatin1(name), value);
    if (!insert.exec())
        fail(insert.lastError());
    insertOutcomes(database, insert.lastInsertId(), score);
    insertOutcomeTimes(database, insert.lastInsertId(), check);
    if (check.sent.conditions.any()) {
        QSqlQuery conditions(database);
        conditions.prepare(QStringLiteral("UPDATE checks SET conditions = ? WHERE id = ?"));
        conditions.addBindValue(QString::fromStdString(conditionsSummary(check.sent.conditions)));
        conditions.addBindValue(insert.lastInsertId());
        if (!conditions.exec())
            fail(conditions.lastError());
    }
}

// The file SQLite is to open for the history file: the file itself in a folder no one else may
// write (made so when it is ours), or where a symbolic link of the user's finally leads when
// that is a folder of the user's that no one else may write either, so that no other user can
// turn the writes, or SQLite's -wal and -shm files beside them, to another place. Throws
// vortan::Error saying why the file may not be used.
std::filesystem::path usableFile(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    struct stat status {};
    // A shared folder (/tmp) is never made private: others' files there are theirs.
    if (::lstat(folder.c_str(), &status) == 0 && (status.st_mode & S_ISVTX) != 0)
        throw Error("the folder " + folder.string() + " is shared with other users");
    preparePrivateFolder(folder);
    std::error_code linkError;
    const std::filesystem::path target = finalLinkTarget(file, linkError);
    if (linkError)
        throw Error(systemReason(linkError.value()));
    const uid_t user = ::geteuid();
    if (target != file) {
        const std::filesystem::path targetFolder =
            target.has_parent_path() ? target.parent_path() : ".";
        const FileDescriptor opened(
            ::open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!opened.valid() || ::fstat(opened.get(), &status) != 0)
            throw Error("its link leads to " + target.string() + ": " + systemReason(errno));
        if (status.st_uid != user || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            throw Error("its link leads to " + target.string() +
                        ", into a folder that other users own or may write");
    }
    if (::lstat(target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            throw Error(notRegularReason(status.st_mode));
        if (status.st_uid != user)
            throw Error("it belongs to another user");
    } else if (errno != ENOENT) {
        throw Error(systemReason(errno));
    }
    return target;
}

} // namespace

class HistoryStore::Connection {
public:
    Connection(const std::filesystem::path& file, const HistoryStoreOptions& options)
        : m_file(file)
        , m_name(QStringLiteral("vortan-history-%1").arg(++s_instances))
    {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        try {
            m_database.setDatabaseName(QString::fromStdString(file.string()));
            m_database.setConnectOptions(
                QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options.busyTimeout.count()));
            if (!m_database.open())
                fail(m_database.lastError());
            // NORMAL keeps the file consistent in WAL mode; a power cut may lose the last check.
            execute(m_database, QStringLiteral("PRAGMA synchronous = NORMAL"));
            execute(m_database, QStringLiteral("PRAGMA foreign_keys = ON"));
            if (options.maxPageCount > 0)
                execute(m_database,
                        QStringLiteral("PRAGMA max_page_count = %1").arg(options.maxPageCount));
            bringSchemaUpToDate();
        } catch (...) {
            release(); // a failed opening leaves no connection behind
            throw;
        }
    }

    ~Connection() { release(); }

    QSqlDatabase& database() { return m_database; }
    // The file SQLite has open: the history file, or where its link leads.
    const std::filesystem::path& file() const { return m_file; }

private:
    void release() noexcept
    {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    int userVersion()
    {
        return singleValue(m_database, QStringLiteral("PRAGMA user_version")).toInt();
    }

    void bringSchemaUpToDate()
    {
        const auto& steps = schemaSteps();
        const int current = static_cast<int>(steps.size());
        int version = userVersion(); // the first read: a file that is no database fails here
        if (version > current)
            throw SqlFailure{0, "it was made by a newer version of Vortan"};
        if (version == current)
            return;
        // WAL lets a reader (the progress view) and a writer (a check) work at once. The mode is
        // kept in the file, so it is set once, before the first table.
        if (version == 0)
            execute(m_database, QStringLiteral("PRAGMA journal_mode = WAL"));
        WriteTransaction transaction(m_database);
        version = userVersion(); // another Vortan may have done it meanwhile
        for (int step = version; step < current; ++step)
            steps[static_cast<std::size_t>(step)](m_database);
        execute(m_database, QStringLiteral("PRAGMA user_version = %1").arg(current));
        transaction.commit();
    }

    static inline std::atomic<int> s_instances{0};
    std::filesystem::path m_file;
    QString m_name;
    QSqlDatabase m_database;
};

HistoryStore::HistoryStore(std::filesystem::path file, HistoryStoreOptions options)
    : m_file(std::move(file))
    , m_options(options)
{
}

HistoryStore::~HistoryStore() = default;

std::filesystem::path HistoryStore::defaultFile()
{
    return xdg::dataHome() / "vortan" / "history.sqlite";
}

HistoryStore::Connection& HistoryStore::connection()
{
    if (m_connection)
        return *m_connection;
    const std::string opening = "Cannot open the history file " + m_file.string() + ": ";
    std::filesystem::path database;
    try {
        database = usableFile(m_file);
    } catch (const Error& error) {
        throw Error(opening + error.what());
    }
    try {
        m_connection = std::make_unique<Connection>(database, m_options);
    } catch (const SqlFailure& failure) {
        throw Error(opening + reasonFor(failure, database));
    }
    return *m_connection;
}

void HistoryStore::addCheck(const CopyCheck& check)
{
    Connection& open = connection();
    try {
        QSqlDatabase& database = open.database();
        WriteTransaction transaction(database);
        insertCheck(database, check);
        AggregateCounts counts;
        counts.add(check.sent.characterSet, check.checkedAtMs, check.score.sentCount,
                   check.score.correct, outcomePairs(check.score));
        counts.write(database);
        transaction.commit();
    } catch (const SqlFailure& failure) {
        throw Error("Cannot keep the check in the history file " + m_file.string() + ": " +
                    reasonFor(failure, open.file()));
    }
}

template <typename Read> auto HistoryStore::reading(Read read)
{
    Connection& open = connection();
    try {
        return read(open.database());
    } catch (const SqlFailure& failure) {
        throw Error("Cannot read the history file " + m_file.string() + ": " +
                    reasonFor(failure, open.file()));
    }
}

std::int64_t HistoryStore::checkCount()
{
    return reading([](QSqlDatabase& database) {
        return singleValue(database, QStringLiteral("SELECT count(*) FROM checks")).toLongLong();
    });
}

namespace {

// The filter's conditions, each starting with " AND", on the checks' own columns, or with
// `byDay` on the per-day sums' `day`; their values are added to `values`.
QString filterConditions(const ProgressFilter& filter, bool byDay, QVariantList& values)
{
    QString sql;
    if (filter.fromDay) {
        sql += byDay ? QStringLiteral(" AND day >= ?") : QStringLiteral(" AND checked_at_ms >= ?");
        values << qint64{byDay ? *filter.fromDay : localDayStartMs(*filter.fromDay)};
    }
    if (filter.untilDay) {
        sql += byDay ? QStringLiteral(" AND day < ?") : QStringLiteral(" AND checked_at_ms < ?");
        values << qint64{byDay ? *filter.untilDay : localDayStartMs(*filter.untilDay)};
    }
    if (filter.characterSet) {
        sql += QStringLiteral(" AND character_set = ?");
        values << bytes(*filter.characterSet);
    }
    return sql;
}

// Runs `sql` with `values` and hands each row to `eachRow` until it returns false.
template <typename EachRow>
void selectRows(QSqlDatabase& database, const QString& sql, const QVariantList& values,
                const EachRow& eachRow)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(query.lastError());
    bool more = true;
    while (more && query.next())
        more = eachRow(query);
    if (query.lastError().isValid())
        fail(query.lastError());
}

} // namespace

ConditionsAccuracy HistoryStore::accuracyByConditions(const ProgressFilter& filter)
{
    return reading([&filter](QSqlDatabase& database) {
        QVariantList values;
        const QString sql = QStringLiteral("SELECT conditions <> '', COUNT(*), SUM(sent_count),"
                                           " SUM(correct_count) FROM checks WHERE sent_count > 0") +
                            filterConditions(filter, false, values) +
                            QStringLiteral(" GROUP BY conditions <> ''");
        ConditionsAccuracy accuracy;
        selectRows(database, sql, values, [&accuracy](const QSqlQuery& row) {
            ConditionsAccuracy::Part& part =
                row.value(0).toBool() ? accuracy.conditioned : accuracy.plain;
            part = {row.value(1).toLongLong(), row.value(2).toLongLong(),
                    row.value(3).toLongLong()};
            return true;
        });
        return accuracy;
    });
}

ProgressData HistoryStore::progress(const ProgressFilter& filter)
{
    return reading([&filter](QSqlDatabase& database) {
        ProgressData figures;
        QVariantList values;
        QString where = filterConditions(filter, true, values);
        selectRows(database,
                   QStringLiteral("SELECT day, sum(checks), sum(sent_count), sum(correct_count)"
                                  " FROM check_days WHERE 1%1 GROUP BY day ORDER BY day")
                       .arg(where),
                   values, [&figures](const QSqlQuery& row) {
                       figures.days.push_back({row.value(0).toLongLong(), row.value(1).toInt(),
                                               row.value(2).toInt(), row.value(3).toInt()});
                       return true;
                   });

        values.clear();
        where = filterConditions(filter, false, values);
        selectRows(database,
                   QStringLiteral("SELECT tempo, count(*), sum(sent_count), sum(correct_count)"
                                  " FROM checks WHERE sent_count > 0%1 GROUP BY tempo"
                                  " ORDER BY tempo")
                       .arg(where),
                   values, [&figures](const QSqlQuery& row) {
                       figures.tempos.push_back({row.value(0).toInt(), row.value(1).toInt(),
                                                 row.value(2).toInt(), row.value(3).toInt()});
                       return true;
                   });

        // Totals: from the sums when all days are asked for, else from the days' checks.
        ProgressAccumulator accumulator;
        const bool allDays = !filter.fromDay && !filter.untilDay;
        if (allDays) {
            QVariantList setValues;
            const QString setWhere = filterConditions(filter, false, setValues);
            selectRows(database,
                       QStringLiteral("SELECT sent, typed, sum(count) FROM outcome_totals"
                                      " WHERE 1%1 GROUP BY sent, typed")
                           .arg(setWhere),
                       setValues, [&accumulator](const QSqlQuery& row) {
                           accumulator.addOutcomes(static_cast<unsigned char>(row.value(0).toInt()),
                                                   static_cast<unsigned char>(row.value(1).toInt()),
                                                   row.value(2).toInt());
                           return true;
                       });
        }
        // The recent samples, newest first, until older checks can change no window.
        selectRows(database,
                   QStringLiteral("SELECT o.pairs FROM checks c JOIN check_outcomes o"
                                  " ON o.check_id = c.id WHERE c.sent_count > 0%1"
                                  " ORDER BY c.checked_at_ms DESC, c.id DESC")
                       .arg(where),
                   values, [&accumulator, allDays](const QSqlQuery& row) {
                       const QByteArray kept = row.value(0).toByteArray();
                       const std::string_view pairs = view(kept);
                       if (!allDays) {
                           accumulator.addCheck(pairs);
                           return true;
                       }
                       return !accumulator.addRecentPairs(pairs);
                   });
        ProgressData characters = accumulator.result();
        figures.characters = std::move(characters.characters);
        figures.confusions = std::move(characters.confusions);
        return figures;
    });
}

RecentAccuracy HistoryStore::recentAccuracy(std::string_view characters)
{
    return reading([characters](QSqlDatabase& database) {
        QSqlQuery query(database);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral(
                "SELECT o.pairs FROM checks c JOIN check_outcomes o ON o.check_id = c.id"
                " ORDER BY c.checked_at_ms DESC, c.id DESC")))
            fail(query.lastError());
        ProgressAccumulator accumulator;
        bool full = characters.empty();
        while (!full && query.next())
            full = accumulator.addRecentSamples(view(query.value(0).toByteArray()), characters);
        if (query.lastError().isValid())
            fail(query.lastError());
        return accumulator.recentAccuracy();
    });
}

RecentRecognition HistoryStore::recentRecognition()
{
    return reading([](QSqlDatabase& database) {
        RecognitionAccumulator accumulator;
        selectRows(database,
                   QStringLiteral("SELECT t.character, t.recognition_ms FROM outcome_times t"
                                  " JOIN checks c ON c.id = t.check_id"
                                  " WHERE t.recognition_ms IS NOT NULL"
                                  " ORDER BY c.checked_at_ms DESC, c.id DESC, t.position DESC"),
                   {}, [&accumulator](const QSqlQuery& row) {
                       const QByteArray character = row.value(0).toByteArray();
                       if (character.size() == 1)
                           accumulator.add(static_cast<unsigned char>(character[0]),
                                           row.value(1).toInt());
                       return true;
                   });
        return accumulator.result();
    });
}

std::vector<RecognitionPoint> HistoryStore::recognitionOverTime(const ProgressFilter& filter)
{
    return reading([&filter](QSqlDatabase& database) {
        QVariantList values;
        const QString sql =
            QStringLiteral("SELECT c.id, c.checked_at_ms, t.recognition_ms FROM checks c"
                           " JOIN outcome_times t ON t.check_id = c.id"
                           " WHERE t.recognition_ms IS NOT NULL%1"
                           " ORDER BY c.checked_at_ms, c.id")
                .arg(filterConditions(filter, false, values));
        std::vector<RecognitionPoint> points;
        qint64 current = -1;
        std::vector<int> times;
        const auto close = [&points, &times] {
            if (!times.empty())
                points.back().medianMs = *lowerMedian(times);
            times.clear();
        };
        selectRows(database, sql, values, [&](const QSqlQuery& row) {
            if (row.value(0).toLongLong() != current) {
                close();
                current = row.value(0).toLongLong();
                points.push_back({row.value(1).toLongLong(), 0, 0});
            }
            times.push_back(row.value(2).toInt());
            ++points.back().samples;
            return true;
        });
        close();
        return points;
    });
}

std::vector<std::string> HistoryStore::characterSets()
{
    return reading([](QSqlDatabase& database) {
        QSqlQuery query(database);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT character_set FROM checks GROUP BY character_set"
                                       " ORDER BY max(checked_at_ms) DESC")))
            fail(query.lastError());
        std::vector<std::string> sets;
        while (query.next())
            sets.emplace_back(view(query.value(0).toByteArray()));
        if (query.lastError().isValid())
            fail(query.lastError());
        return sets;
    });
}

std::optional<int> HistoryStore::option(const QString& name, int minimum, int maximum)
{
    return reading([&](QSqlDatabase& database) -> std::optional<int> {
        QSqlQuery query(database);
        query.prepare(QStringLiteral("SELECT value FROM options WHERE name = :name"));
        query.bindValue(QStringLiteral(":name"), name);
        if (!query.exec())
            fail(query.lastError());
        if (!query.next())
            return std::nullopt;
        bool isNumber = false;
        const int value = query.value(0).toInt(&isNumber);
        if (!isNumber || value < minimum || value > maximum)
            return std::nullopt;
        return value;
    });
}

void HistoryStore::setOption(const QString& name, std::optional<int> value)
{
    Connection& open = connection();
    try {
        WriteTransaction transaction(open.database());
        QSqlQuery query(open.database());
        query.prepare(value ? QStringLiteral("INSERT OR REPLACE INTO options (name, value)"
                                             " VALUES (:name, :value)")
                            : QStringLiteral("DELETE FROM options WHERE name = :name"));
        query.bindValue(QStringLiteral(":name"), name);
        if (value)
            query.bindValue(QStringLiteral(":value"), *value);
        if (!query.exec())
            fail(query.lastError());
        transaction.commit();
    } catch (const SqlFailure& failure) {
        throw Error("Cannot keep the setting in the history file " + m_file.string() + ": " +
                    reasonFor(failure, open.file()));
    }
}

int HistoryStore::advanceThresholdPercent()
{
    return option(kThresholdOption, kMinimumAdvanceThresholdPercent,
                  kMaximumAdvanceThresholdPercent)
        .value_or(kDefaultAdvanceThresholdPercent);
}

void HistoryStore::setAdvanceThresholdPercent(int percent)
{
    setOption(kThresholdOption, percent);
}

std::optional<int> HistoryStore::advanceTargetMs()
{
    return option(kTargetOption, kMinimumAdvanceTargetMs, kMaximumAdvanceTargetMs);
}

void HistoryStore::setAdvanceTargetMs(std::optional<int> milliseconds)
{
    setOption(kTargetOption, milliseconds);
}

} // namespace vortan

namespace vortan {

std::vector<ReviewState> HistoryStore::reviewStates(int thresholdPercent)
{
    return reading([thresholdPercent](QSqlDatabase& database) {
        std::vector<int> characters;
        QSqlQuery list(database);
        list.setForwardOnly(true);
        if (!list.exec(QStringLiteral("SELECT DISTINCT character FROM character_days")))
            fail(list.lastError());
        while (list.next())
            characters.push_back(list.value(0).toInt());
        if (list.lastError().isValid())
            fail(list.lastError());

        // Each character's last days, newest first, through its primary key.
        QSqlQuery days(database);
        days.setForwardOnly(true);
        days.prepare(QStringLiteral("SELECT day, sent_count, correct_count FROM character_days"
                                    " WHERE character = ? ORDER BY day DESC LIMIT %1")
                         .arg(kReviewDaysThatCount));
        std::vector<ReviewState> states;
        for (const int character : characters) {
            days.addBindValue(character);
            if (!days.exec())
                fail(days.lastError());
            std::vector<CharacterDay> practised;
            while (days.next())
                practised.push_back(
                    {days.value(0).toLongLong(), days.value(1).toInt(), days.value(2).toInt()});
            if (days.lastError().isValid())
                fail(days.lastError());
            std::reverse(practised.begin(), practised.end());
            states.push_back(
                reviewState(static_cast<unsigned char>(character), practised, thresholdPercent));
        }
        return states;
    });
}

void HistoryStore::exportCsv(const std::filesystem::path& checksFile,
                             const std::filesystem::path& outcomesFile)
{
    reading([&](QSqlDatabase& database) {
        writeHistoryCsv(database, checksFile, outcomesFile);
        return 0;
    });
}

void HistoryStore::exportCopy(const std::filesystem::path& file)
{
    // SQLite writes a consistent copy, but only into a file that does not exist yet: a new one
    // beside the target, renamed over it when complete.
    const std::filesystem::path part = file.string() + ".part";
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    reading([&part](QSqlDatabase& database) {
        QSqlQuery vacuum(database);
        vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
        vacuum.addBindValue(QString::fromStdString(part.string()));
        if (!vacuum.exec())
            fail(vacuum.lastError());
        return 0;
    });
    std::error_code error;
    std::filesystem::rename(part, file, error);
    if (error) {
        std::filesystem::remove(part, ignored);
        throw Error("Cannot write " + file.string() + ": " + error.message());
    }
}

std::int64_t HistoryStore::importHistory(const std::filesystem::path& file)
{
    const std::vector<CopyCheck> checks = readHistoryToImport(file, kSchemaVersion);
    Connection& open = connection();
    try {
        QSqlDatabase& database = open.database();
        WriteTransaction transaction(database);
        QSqlQuery present(database);
        present.prepare(
            QStringLiteral("SELECT 1 FROM checks WHERE checked_at_ms = ? AND sent_text = ?"));
        std::int64_t added = 0;
        for (const CopyCheck& check : checks) {
            present.addBindValue(qint64{check.checkedAtMs});
            present.addBindValue(bytes(check.sent.text));
            if (!present.exec())
                fail(present.lastError());
            const bool known = present.next();
            present.finish();
            if (known)
                continue;
            insertCheck(database, check);
            ++added;
        }
        if (added > 0)
            recountAggregates(database);
        transaction.commit();
        return added;
    } catch (const SqlFailure& failure) {
        throw Error("Cannot import " + file.string() + " into the history file " + m_file.string() +
                    ": " + failure.reason);
    }
}

} // namespace vortan
