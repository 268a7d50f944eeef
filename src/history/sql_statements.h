// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the history's parts share to talk to SQLite through Qt SQL.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <filesystem>
#include <string>
#include <string_view>

class QSqlError;

namespace vortan {

// Thrown inside the history and turned into a vortan::Error with the file's name and what was
// being done; carries SQLite's result code and its own words.
struct SqlFailure {
    int code = 0; // SQLite's primary result code; 0 for a failure of ours
    std::string reason;
};

SqlFailure failureOf(const QSqlError& error);

// Why the file could not be used, in words a user can act on ("it is in use by another
// program"). SQLite keeps the system's error to itself, so for failures of the disk the system
// is asked what stands in the way, and its words are given, as for the settings file.
std::string reasonFor(const SqlFailure& failure, const std::filesystem::path& file);

[[noreturn]] void fail(const QSqlError& error);

void execute(QSqlDatabase& database, const QString& statement);

// The first column of the first row; a null QVariant when there is no row.
QVariant singleValue(QSqlDatabase& database, const QString& statement);

QByteArray bytes(std::string_view text);
std::string_view view(const QByteArray& bytes);

// One write transaction; rolled back unless committed. BEGIN IMMEDIATE takes the write lock at
// once, so that waiting for another program happens here and not halfway through.
class WriteTransaction {
public:
    explicit WriteTransaction(QSqlDatabase& database);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit();

private:
    QSqlDatabase& m_database;
    bool m_committed = false;
};

} // namespace vortan
