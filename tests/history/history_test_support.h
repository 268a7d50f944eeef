// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the history tests share: a folder of their own, a check to keep, and a look into the
// file with SQLite itself rather than through the code under test.

#include "scoring/copy_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <string>

namespace vortan::test {

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vortan-history-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline SentExercise sampleExercise(std::int64_t sentAtMs = 1700000000000)
{
    SentExercise sent;
    sent.text = "vvv =\r\nab\xB9"
                "cd 5fghi \r\n";
    sent.settings = {.speed = 60, .spaces = 5, .tone = 700, .noise = 3, .straight = 10};
    sent.seed = 4000000000u;
    sent.characterSet = "abstgj";
    sent.sentAtMs = sentAtMs;
    return sent;
}

inline CopyCheck sampleCheck(std::int64_t checkedAtMs = 1700000060000,
                             std::string copy = "AB\xA5"
                                                "cd hfghi")
{
    return checkCopy(sampleExercise(checkedAtMs - 60000), std::move(copy), checkedAtMs);
}

inline std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A plain SQLite connection to look at or to hold the file.
class RawDatabase {
public:
    explicit RawDatabase(const std::filesystem::path& file)
    {
        EXPECT_EQ(sqlite3_open(file.c_str(), &m_db), SQLITE_OK);
    }
    ~RawDatabase() { sqlite3_close(m_db); }

    void execute(const std::string& sql)
    {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "") << " in " << sql;
        sqlite3_free(message);
    }

    // The first column of the first row, as text ("" when there is none).
    std::string text(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db);
        std::string result;
        if (statement && sqlite3_step(statement) == SQLITE_ROW) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 0));
            result.assign(bytes ? bytes : "",
                          static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
        }
        sqlite3_finalize(statement);
        return result;
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace vortan::test
