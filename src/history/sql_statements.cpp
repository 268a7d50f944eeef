// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/sql_statements.h"

#include "files/io_errors.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>

namespace vortan {

namespace {

// SQLite's primary result codes that a user can act on.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13,
              kCantOpen = 14, kNotADatabase = 26;

} // namespace

SqlFailure failureOf(const QSqlError& error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xFF;
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return {known ? code : 0, text.isEmpty() ? std::string("unknown error") : text.toStdString()};
}

std::string reasonFor(const SqlFailure& failure, const std::filesystem::path& file)
{
    switch (failure.code) {
    case kReadOnly:
    case kIoError:
    case kFull:
    case kCantOpen:
        if (const int obstacle = writeObstacle(file); obstacle != 0)
            return systemReason(obstacle);
        break;
    default:
        break;
    }
    switch (failure.code) {
    case kBusy:
    case kLocked:
        return "it is in use by another program";
    case kReadOnly:
        return "it is read-only";
    case kCorrupt:
    case kNotADatabase:
        return "it is damaged or not a history file";
    case kFull:
        return systemReason(ENOSPC);
    case kCantOpen:
        return "it cannot be opened";
    case kIoError:
        return "the disk reported an error";
    default:
        return failure.reason;
    }
}

[[noreturn]] void fail(const QSqlError& error)
{
    throw failureOf(error);
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

QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

WriteTransaction::WriteTransaction(QSqlDatabase& database)
    : m_database(database)
{
    execute(m_database, QStringLiteral("BEGIN IMMEDIATE"));
}

WriteTransaction::~WriteTransaction()
{
    if (!m_committed) {
        QSqlQuery rollback(m_database);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
}

void WriteTransaction::commit()
{
    execute(m_database, QStringLiteral("COMMIT"));
    m_committed = true;
}

} // namespace vortan
