// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_transfer.h"

#include "base/errors.h"
#include "base/windows1250.h"
#include "files/regular_file.h"
#include "files/replacing_file_writer.h"
#include "history/sql_statements.h"
#include "settings/band_conditions.h"
#include "settings/transmission_tempo.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <array>
#include <atomic>
#include <charconv>
#include <map>
#include <optional>
#include <utility>

namespace vortan {

namespace {

// A CSV of decades of checks stays far below this.
constexpr std::size_t kMaxImportBytes = std::size_t{1} << 30;

// The checks CSV's columns. checked_at is for people (local time); an import reads the ms.
constexpr std::array<std::string_view, 18> kCheckColumns{
    "checked_at", "checked_at_ms", "sent_at_ms",    "speed",       "spaces",        "tone",
    "noise",      "straight",      "tempo",         "seed",        "character_set", "sent_text",
    "copy_text",  "sent_count",    "correct_count", "wrong_count", "missed_count",  "extra_count"};
constexpr std::array<std::string_view, 7> kOutcomeColumns{
    "checked_at_ms", "position", "sent", "typed", "outcome", "recognition_ms", "anticipated"};

std::string utf8(std::string_view windows1250Bytes)
{
    QString text;
    text.reserve(qsizetype(windows1250Bytes.size()));
    for (const char c : windows1250Bytes)
        text.append(QChar(windows1250::toUnicode(static_cast<unsigned char>(c))));
    return text.toStdString();
}

// A field as CSV writes it: quoted when it holds a comma, a quote or a line break.
std::string field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

template <std::size_t N> std::string line(const std::array<std::string, N>& fields)
{
    std::string text;
    for (std::size_t i = 0; i < N; ++i)
        text += (i == 0 ? "" : ",") + field(fields[i]);
    return text + "\r\n";
}

template <std::size_t N> std::string header(const std::array<std::string_view, N>& columns)
{
    std::array<std::string, N> fields;
    std::copy(columns.begin(), columns.end(), fields.begin());
    return line(fields);
}

void write(ReplacingFileWriter& writer, const std::string& text)
{
    writer.write(text.data(), text.size());
}

const char* outcomeName(unsigned char sent, unsigned char typed)
{
    if (sent == 0)
        return "extra";
    if (typed == 0)
        return "missed";
    return typed == sent ? "right" : "wrong";
}

// Splits CSV text into records of fields; nothing when a quote is left open.
std::optional<std::vector<std::vector<std::string>>> records(std::string_view text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(current));
            current.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            row.push_back(std::move(current));
            current.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            current += c;
        }
    }
    if (quoted)
        return std::nullopt;
    if (!current.empty() || !row.empty()) {
        row.push_back(std::move(current));
        rows.push_back(std::move(row));
    }
    return rows;
}

template <typename Number> std::optional<Number> parsed(const std::string& text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::vector<CopyCheck> readChecksCsv(std::string_view text, const std::string& refusing)
{
    if (!windows1250::isValidUtf8(text))
        throw Error(refusing + "it is not UTF-8 text");
    const auto rows = records(text);
    if (!rows || rows->empty() || rows->front().size() != kCheckColumns.size() ||
        !std::equal(kCheckColumns.begin(), kCheckColumns.end(), rows->front().begin()))
        throw Error(refusing + "it is neither a Vortan history nor its checks CSV");
    std::vector<CopyCheck> checks;
    for (std::size_t index = 1; index < rows->size(); ++index) {
        const std::vector<std::string>& row = (*rows)[index];
        const std::string where = refusing + "record " + std::to_string(index + 1);
        if (row.size() != kCheckColumns.size())
            throw Error(where + " has " + std::to_string(row.size()) + " fields, not " +
                        std::to_string(kCheckColumns.size()));
        const auto checkedAt = parsed<std::int64_t>(row[1]);
        const auto sentAt = parsed<std::int64_t>(row[2]);
        const auto seed = parsed<std::uint32_t>(row[9]);
        std::array<std::optional<int>, 5> settings;
        for (std::size_t i = 0; i < settings.size(); ++i)
            settings[i] = parsed<int>(row[3 + i]);
        if (!checkedAt || !sentAt || !seed ||
            !std::all_of(settings.begin(), settings.end(),
                         [](const auto& s) { return s.has_value(); }))
            throw Error(where + " has a field that is not a number");
        SentExercise sent;
        sent.sentAtMs = *sentAt;
        sent.seed = *seed;
        sent.settings = {*settings[0], *settings[1], *settings[2], *settings[3], *settings[4]};
        sent.characterSet = windows1250::fromUtf8(row[10]);
        sent.text = windows1250::fromUtf8(row[11]);
        sent.renderingKnown = false; // the CSV does not carry the buffer seed, rise and lead-in
        try {
            checks.push_back(checkCopy(sent, windows1250::fromUtf8(row[12]), *checkedAt));
        } catch (const Error& error) {
            throw Error(where + ": " + error.what());
        }
    }
    return checks;
}

// The recognition times the file keeps for its checks (`ids`: where each is in `checks`). A
// check scored anew with another number of outcomes takes none: they would fall on the wrong
// characters.
void readOutcomeTimes(QSqlDatabase& database, const std::map<qint64, std::size_t>& ids,
                      std::vector<CopyCheck>& checks)
{
    QSqlQuery select(database);
    select.setForwardOnly(true);
    if (!select.exec(QStringLiteral("SELECT check_id, recognition_ms, anticipated"
                                    " FROM outcome_times ORDER BY check_id, position")))
        fail(select.lastError());
    std::map<std::size_t, std::vector<std::optional<RecognitionTime>>> times;
    while (select.next()) {
        const auto found = ids.find(select.value(0).toLongLong());
        if (found == ids.end())
            continue;
        std::optional<RecognitionTime> time;
        if (!select.value(1).isNull())
            time = RecognitionTime{select.value(1).toInt(), select.value(2).toInt() != 0};
        times[found->second].push_back(time);
    }
    if (select.lastError().isValid())
        fail(select.lastError());
    for (auto& [index, checkTimes] : times) {
        if (checkTimes.size() == checks[index].score.characters.size())
            checks[index].recognition = std::move(checkTimes);
    }
}

std::vector<CopyCheck> readHistoryDatabase(const std::filesystem::path& file, int newestSchema,
                                           const std::string& refusing)
{
    static std::atomic<int> s_connections{0};
    const QString name = QStringLiteral("vortan-import-%1").arg(++s_connections);
    std::vector<CopyCheck> checks;
    std::map<qint64, std::size_t> ids; // of the file's checks: where they are in `checks`
    std::string failure;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(QString::fromStdString(file.string()));
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        try {
            if (!database.open())
                fail(database.lastError());
            const int version =
                singleValue(database, QStringLiteral("PRAGMA user_version")).toInt();
            const QVariant hasChecks = singleValue(
                database,
                QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'checks'"));
            if (version < 1 || hasChecks.toInt() != 1)
                throw SqlFailure{0, "it is neither a Vortan history nor its checks CSV"};
            if (version > newestSchema)
                throw SqlFailure{0, "it was made by a newer version of Vortan"};
            // The band conditions came with version 3, the rest of the sound with version 6;
            // an older file has them none and unknown.
            const QString conditions =
                version >= 3 ? QStringLiteral("conditions") : QStringLiteral("''");
            const QString rendering = version >= 6
                                          ? QStringLiteral("buffer_seed, rise_ms, lead_in_ms")
                                          : QStringLiteral("NULL, NULL, NULL");
            QSqlQuery select(database);
            select.setForwardOnly(true);
            if (!select.exec(
                    QStringLiteral(
                        "SELECT checked_at_ms, sent_at_ms, speed, spaces, tone, noise, straight,"
                        " seed, character_set, sent_text, copy_text, %1, %2, id FROM checks"
                        " ORDER BY id")
                        .arg(conditions, rendering)))
                fail(select.lastError());
            while (select.next()) {
                SentExercise sent;
                sent.sentAtMs = select.value(1).toLongLong();
                sent.settings = {select.value(2).toInt(), select.value(3).toInt(),
                                 select.value(4).toInt(), select.value(5).toInt(),
                                 select.value(6).toInt()};
                sent.seed = select.value(7).toUInt();
                sent.characterSet = std::string(view(select.value(8).toByteArray()));
                sent.text = std::string(view(select.value(9).toByteArray()));
                sent.conditions = conditionsFromSummary(select.value(11).toString().toStdString());
                sent.renderingKnown = !select.value(12).isNull() && !select.value(13).isNull() &&
                                      !select.value(14).isNull();
                if (sent.renderingKnown) {
                    sent.bufferSeed = select.value(12).toUInt();
                    sent.riseMs = select.value(13).toInt();
                    sent.leadInMs = select.value(14).toInt();
                }
                checks.push_back(checkCopy(sent, std::string(view(select.value(10).toByteArray())),
                                           select.value(0).toLongLong()));
                ids.emplace(select.value(15).toLongLong(), checks.size() - 1);
            }
            if (select.lastError().isValid())
                fail(select.lastError());
            // The recognition times came with version 7.
            if (version >= 7)
                readOutcomeTimes(database, ids, checks);
        } catch (const SqlFailure& sql) {
            failure = reasonFor(sql, file);
        } catch (const Error& error) {
            failure = error.what();
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.empty())
        throw Error(refusing + failure);
    return checks;
}

} // namespace

void writeHistoryCsv(QSqlDatabase& history, const std::filesystem::path& checksFile,
                     const std::filesystem::path& outcomesFile)
{
    QSqlQuery select(history);
    select.setForwardOnly(true);
    if (!select.exec(QStringLiteral(
            "SELECT c.checked_at_ms, c.sent_at_ms, c.speed, c.spaces, c.tone, c.noise,"
            " c.straight, c.tempo, c.seed, c.character_set, c.sent_text, c.copy_text,"
            " c.sent_count, c.correct_count, c.wrong_count, c.missed_count, c.extra_count,"
            " o.pairs, c.id FROM checks c LEFT JOIN check_outcomes o ON o.check_id = c.id"
            " ORDER BY c.checked_at_ms, c.id")))
        fail(select.lastError());
    // The recognition times of the checks typed along, by check and position; empty fields
    // for the others.
    std::map<std::pair<qint64, qint64>, std::pair<std::string, std::string>> times;
    QSqlQuery timed(history);
    timed.setForwardOnly(true);
    if (!timed.exec(QStringLiteral(
            "SELECT check_id, position, recognition_ms, anticipated FROM outcome_times")))
        fail(timed.lastError());
    while (timed.next()) {
        times[{timed.value(0).toLongLong(), timed.value(1).toLongLong()}] = {
            timed.value(2).isNull() ? std::string() : timed.value(2).toString().toStdString(),
            timed.value(3).toString().toStdString()};
    }
    if (timed.lastError().isValid())
        fail(timed.lastError());
    ReplacingFileWriter checks(checksFile);
    ReplacingFileWriter outcomes(outcomesFile);
    write(checks, header(kCheckColumns));
    write(outcomes, header(kOutcomeColumns));
    while (select.next()) {
        const qint64 checkedAt = select.value(0).toLongLong();
        std::array<std::string, kCheckColumns.size()> fields;
        fields[0] = QDateTime::fromMSecsSinceEpoch(checkedAt)
                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                        .toStdString();
        for (int column = 0; column < 17; ++column) {
            const QVariant value = select.value(column);
            fields[std::size_t(column) + 1] = column >= 9 && column <= 11
                                                  ? utf8(view(value.toByteArray()))
                                                  : value.toString().toStdString();
        }
        write(checks, line(fields));
        const QByteArray pairs = select.value(17).toByteArray();
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
            const auto sent = static_cast<unsigned char>(pairs[i]);
            const auto typed = static_cast<unsigned char>(pairs[i + 1]);
            const auto character = [](unsigned char byte) {
                const char c = static_cast<char>(byte);
                return byte == 0 ? std::string() : utf8(std::string_view(&c, 1));
            };
            const auto time = times.find({select.value(18).toLongLong(), i / 2 + 1});
            const bool isTimed = time != times.end();
            write(outcomes, line(std::array<std::string, kOutcomeColumns.size()>{
                                std::to_string(checkedAt), std::to_string(i / 2 + 1),
                                character(sent), character(typed), outcomeName(sent, typed),
                                isTimed ? time->second.first : std::string(),
                                isTimed ? time->second.second : std::string()}));
        }
    }
    if (select.lastError().isValid())
        fail(select.lastError());
    checks.commit();
    outcomes.commit();
}

std::vector<CopyCheck> readHistoryToImport(const std::filesystem::path& file, int newestSchema)
{
    const std::string refusing = "Cannot import " + file.string() + ": ";
    // Only a regular file: a named pipe would hold the window for ever.
    const RegularFileBytes read = readRegularFile(file, kMaxImportBytes);
    if (read.state != RegularFileState::Read)
        throw Error(refusing + read.reason);
    if (std::string_view(read.bytes).starts_with(std::string_view("SQLite format 3\0", 16)))
        return readHistoryDatabase(file, newestSchema, refusing);
    return readChecksCsv(read.bytes, refusing);
}

} // namespace vortan
