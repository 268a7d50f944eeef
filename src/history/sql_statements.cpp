// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/sql_statements.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vortan {

namespace {

// SQLite's primary result codes that a user can act on.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13,
              kCantOpen = 14, kNotADatabase = 26;

} // namespace

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
