// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_store.h"

#include "base/errors.h"
#include "files/xdg_paths.h"
#include "scoring/drill_set.h"
#include "scoring/next_set_rule.h"
#include "settings/transmission_tempo.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <functional>
#include <system_error>
#include <vector>

namespace vortan {

namespace {

// SQLite's primary result codes that a user can act on.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13,
              kCantOpen = 14, kNotADatabase = 26;

std::string reasonFor(const QSqlError& error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xFF;
    if (known) {
        switch (code) {
        case kBusy:
        case kLocked:
            return "it is in use by another program";
        case kReadOnly:
            return "it is read-only";
        case kCorrupt:
        case kNotADatabase:
            return "it is damaged or not a history file";
        case kFull:
            return "the disk is full";
        case kCantOpen:
            return "it cannot be opened";
        case kIoError:
            return "the disk reported an error";
        default:
            break;
        }
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? std::string("unknown error") : text.toStdString();
}

QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

const QString kThresholdOption = QStringLiteral("advance_threshold_percent");

// The schema, one step per version: a new file takes every step, an old one the steps it
// lacks, in one transaction.
using SchemaStep = std::function<void(QSqlDatabase&)>;

void execute(QSqlDatabase& database, const QString& statement);
void insertOutcomes(QSqlDatabase& database, const QVariant& checkId, const CopyScore& score);
void scoreKeptChecksAgain(QSqlDatabase& database);
[[noreturn]] void fail(const QSqlError& error);

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
        // 3: every kept check scored again by the alignment that knows moved groups and
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
    };
    return steps;
}

// Thrown inside the store and turned into a vortan::Error with the file's name and what was
// being done; carries the reason only.
struct SqlFailure {
    std::string reason;
};

[[noreturn]] void fail(const QSqlError& error)
{
    throw SqlFailure{reasonFor(error)};
}

void execute(QSqlDatabase& database, const QString& statement)
{
    QSqlQuery query(database);
    if (!query.exec(statement))
        fail(query.lastError());
}

QVariant singleValue(QSqlDatabase& database, const QString& statement)
{
    QSqlQuery query(database);
    if (!query.exec(statement))
        fail(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(query.lastError());
        return {};
    }
    return query.value(0);
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

// One write transaction; rolled back unless committed. BEGIN IMMEDIATE takes the write lock at
// once, so that waiting for another program happens here and not halfway through.
class WriteTransaction {
public:
    explicit WriteTransaction(QSqlDatabase& database)
        : m_database(database)
    {
        execute(m_database, QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~WriteTransaction()
    {
        if (!m_committed) {
            QSqlQuery rollback(m_database);
            rollback.exec(QStringLiteral("ROLLBACK"));
        }
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit()
    {
        execute(m_database, QStringLiteral("COMMIT"));
        m_committed = true;
    }

private:
    QSqlDatabase& m_database;
    bool m_committed = false;
};

} // namespace

class HistoryStore::Connection {
public:
    Connection(const std::filesystem::path& file, const HistoryStoreOptions& options)
        : m_name(QStringLiteral("vortan-history-%1").arg(++s_instances))
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
            throw SqlFailure{"it was made by a newer version of Vortan"};
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
    if (const std::filesystem::path folder = m_file.parent_path(); !folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw Error(opening + error.message());
    }
    try {
        m_connection = std::make_unique<Connection>(m_file, m_options);
    } catch (const SqlFailure& failure) {
        throw Error(opening + failure.reason);
    }
    return *m_connection;
}

void HistoryStore::addCheck(const CopyCheck& check)
{
    Connection& open = connection();
    try {
        QSqlDatabase& database = open.database();
        WriteTransaction transaction(database);
        QSqlQuery insert(database);
        insert.prepare(QStringLiteral(
            "INSERT INTO checks (checked_at_ms, sent_at_ms, speed, spaces, tone, noise, straight,"
            " tempo, seed, character_set, sent_text, copy_text, sent_count, correct_count,"
            " wrong_count, missed_count, extra_count)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const SynthesisSettings& settings = check.sent.settings;
        const CopyScore& score = check.score;
        const QVariant values[] = {
            qint64{check.checkedAtMs},
            qint64{check.sent.sentAtMs},
            settings.speed,
            settings.spaces,
            settings.tone,
            settings.noise,
            settings.straight,
            transmissionTempo(settings.speed, settings.spaces),
            qint64{check.sent.seed},
            bytes(check.sent.characterSet),
            bytes(check.sent.text),
            bytes(check.copy),
            score.sentCount,
            score.correct,
            score.wrong,
            score.missed,
            score.extra,
        };
        for (const QVariant& value : values)
            insert.addBindValue(value);
        if (!insert.exec())
            fail(insert.lastError());
        insertOutcomes(database, insert.lastInsertId(), score);
        transaction.commit();
    } catch (const SqlFailure& failure) {
        throw Error("Cannot keep the check in the history file " + m_file.string() + ": " +
                    failure.reason);
    }
}

template <typename Read> auto HistoryStore::reading(Read read)
{
    Connection& open = connection();
    try {
        return read(open.database());
    } catch (const SqlFailure& failure) {
        throw Error("Cannot read the history file " + m_file.string() + ": " + failure.reason);
    }
}

std::int64_t HistoryStore::checkCount()
{
    return reading([](QSqlDatabase& database) {
        return singleValue(database, QStringLiteral("SELECT count(*) FROM checks")).toLongLong();
    });
}

ProgressData HistoryStore::progress(const ProgressFilter& filter)
{
    return reading([&filter](QSqlDatabase& database) {
        QString sql = QStringLiteral(
            "SELECT c.checked_at_ms, c.tempo, c.sent_count, c.correct_count, o.pairs"
            " FROM checks c JOIN check_outcomes o ON o.check_id = c.id WHERE c.sent_count > 0");
        QVariantList values;
        if (filter.fromMs) {
            sql += QStringLiteral(" AND c.checked_at_ms >= ?");
            values << qint64{*filter.fromMs};
        }
        if (filter.untilMs) {
            sql += QStringLiteral(" AND c.checked_at_ms < ?");
            values << qint64{*filter.untilMs};
        }
        if (filter.characterSet) {
            sql += QStringLiteral(" AND c.character_set = ?");
            values << bytes(*filter.characterSet);
        }
        sql += QStringLiteral(" ORDER BY c.checked_at_ms DESC, c.id DESC");
        QSqlQuery query(database);
        query.setForwardOnly(true);
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            fail(query.lastError());
        ProgressAccumulator accumulator;
        while (query.next()) {
            const CheckPoint check{query.value(0).toLongLong(), query.value(1).toInt(),
                                   query.value(2).toInt(), query.value(3).toInt()};
            accumulator.addCheck(check, view(query.value(4).toByteArray()));
        }
        if (query.lastError().isValid())
            fail(query.lastError());
        return accumulator.result();
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

int HistoryStore::advanceThresholdPercent()
{
    return reading([](QSqlDatabase& database) {
        QSqlQuery query(database);
        query.prepare(QStringLiteral("SELECT value FROM options WHERE name = ?"));
        query.addBindValue(kThresholdOption);
        if (!query.exec())
            fail(query.lastError());
        if (!query.next())
            return kDefaultAdvanceThresholdPercent;
        bool isNumber = false;
        const int percent = query.value(0).toInt(&isNumber);
        return isNumber && percent >= 1 && percent <= 100 ? percent
                                                          : kDefaultAdvanceThresholdPercent;
    });
}

void HistoryStore::setAdvanceThresholdPercent(int percent)
{
    Connection& open = connection();
    try {
        WriteTransaction transaction(open.database());
        QSqlQuery query(open.database());
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO options (name, value) VALUES (?, ?)"));
        query.addBindValue(kThresholdOption);
        query.addBindValue(percent);
        if (!query.exec())
            fail(query.lastError());
        transaction.commit();
    } catch (const SqlFailure& failure) {
        throw Error("Cannot keep the setting in the history file " + m_file.string() + ": " +
                    failure.reason);
    }
}

} // namespace vortan
