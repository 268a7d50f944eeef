// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "history/history_store.h"
#include "scoring/copy_check.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace vortan;

namespace {

// A folder of the test's own; the file is looked into with SQLite itself, not through the
// code under test.
struct TemporaryFolder {
    QTemporaryDir dir;
    std::filesystem::path path() const { return dir.path().toStdString(); }
};

CopyCheck sampleCheck(std::string copy = "AB\xA5"
                                         "cd hfghi")
{
    SentExercise sent;
    sent.text = "vvv =\r\nab\xB9"
                "cd 5fghi \r\n";
    sent.settings = {.speed = 60, .spaces = 5, .tone = 700, .noise = 3, .straight = 10};
    sent.seed = 4000000000u;
    sent.characterSet = "abstgj";
    sent.sentAtMs = 1700000000000;
    return checkCopy(sent, std::move(copy), 1700000060000);
}

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RawDatabase {
public:
    explicit RawDatabase(const std::filesystem::path& file)
    {
        EXPECT_EQ(sqlite3_open(file.c_str(), &m_db), SQLITE_OK);
    }
    ~RawDatabase() { sqlite3_close(m_db); }

    // Runs one statement; the first column of its first row as text ("" when there is none).
    std::string text(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db) << " in " << sql;
        std::string result;
        const int step = statement ? sqlite3_step(statement) : SQLITE_ERROR;
        EXPECT_TRUE(step == SQLITE_ROW || step == SQLITE_DONE) << sqlite3_errmsg(m_db) << sql;
        if (step == SQLITE_ROW) {
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

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(HistoryStore, MadeAtFirstUseKeptAndReopened)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "data" / "vortan" / "history.sqlite";
    {
        HistoryStore store(file);
        EXPECT_FALSE(std::filesystem::exists(file)); // nothing happens before the first use
        store.addCheck(sampleCheck());
    }
    RawDatabase raw(file);
    EXPECT_EQ(raw.text("PRAGMA user_version"), std::to_string(HistoryStore::kSchemaVersion));
    EXPECT_EQ(raw.text("PRAGMA journal_mode"), "wal");
    // Everything of the check, bytes as they were: settings, tempo (60 at spaces 5 is 37), the
    // character set, both texts raw and the counts.
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d %d %d %d %d %d %d %s %d %d %d %d %d',"
                       " checked_at_ms, sent_at_ms, speed, spaces, tone, noise, straight, tempo,"
                       " seed, character_set, sent_count, correct_count, wrong_count,"
                       " missed_count, extra_count) FROM checks"),
              "1700000060000 1700000000000 60 5 700 3 10 37 4000000000 abstgj 10 9 1 0 0");
    EXPECT_EQ(raw.text("SELECT sent_text || '|' || copy_text FROM checks"), "vvv =\r\nab\xB9"
                                                                            "cd 5fghi \r\n|AB\xA5"
                                                                            "cd hfghi");

    HistoryStore again(file);
    again.addCheck(sampleCheck(""));
    EXPECT_EQ(again.checkCount(), 2);
}

// A file that cannot be used: the message names it and says why, and the file is left as it
// was, byte for byte.
TEST(HistoryStore, UnusableFileIsNamedAndLeftAlone)
{
    struct Row {
        const char* name;
        std::string content; // of history.sqlite before the check
        const char* reason;
    };
    const Row rows[] = {
        {"not a database", std::string(5000, 'x'), "it is damaged or not a history file"},
        {"made by a newer program", "", "it was made by a newer version of Vortan"},
    };
    for (const Row& row : rows) {
        TemporaryFolder folder;
        const auto file = folder.path() / "history.sqlite";
        if (row.content.empty()) {
            RawDatabase(file).text("PRAGMA user_version = 99");
        } else {
            std::ofstream(file, std::ios::binary) << row.content;
        }
        const std::string before = fileBytes(file);
        HistoryStore store(file);
        EXPECT_EQ(errorOf([&] { store.addCheck(sampleCheck()); }),
                  "Cannot open the history file " + file.string() + ": " + row.reason)
            << row.name;
        EXPECT_EQ(fileBytes(file), before) << row.name;
        EXPECT_TRUE(QSqlDatabase::connectionNames().isEmpty()) << "a failed opening left one";
    }
}

// A read-only file can still be read; a check is refused with a reason. Root writes any file,
// so as root the check runs in a child that has become the unprivileged user "nobody".
TEST(HistoryStore, ReadOnlyFile)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).addCheck(sampleCheck());
    RawDatabase(file).text("PRAGMA wal_checkpoint(TRUNCATE)");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    const std::string before = fileBytes(file);

    const auto check = [&file] {
        HistoryStore store(file);
        const std::int64_t count = store.checkCount();
        return std::to_string(count) + " " + errorOf([&] { store.addCheck(sampleCheck()); });
    };
    std::string outcome;
    if (::geteuid() != 0) {
        outcome = check();
    } else {
        constexpr uid_t kNobody = 65534;
        std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
        ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), kNobody, kNobody), 0);
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(2);
            const std::string result = check();
            const bool written = ::write(channel[1], result.data(), result.size()) ==
                                 static_cast<ssize_t>(result.size());
            ::_exit(written ? 0 : 3);
        }
        ::close(channel[1]);
        char buffer[1024];
        ssize_t count;
        while ((count = ::read(channel[0], buffer, sizeof buffer)) > 0)
            outcome.append(buffer, static_cast<std::size_t>(count));
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(outcome,
              "1 Cannot keep the check in the history file " + file.string() + ": it is read-only");
    EXPECT_EQ(fileBytes(file), before);
}

// Opens a file with the store, which brings it up to date: all its figures and its sets.
std::pair<ProgressData, std::vector<std::string>>
progressAfterUpgrade(const std::filesystem::path& file)
{
    HistoryStore store(file);
    return {store.progress({}), store.characterSets()};
}

// A file of the first version (checks without their outcomes) is brought up to date when first
// used: every kept check scored again from its raw copy, the counts with it.
TEST(HistoryStore, UpgradeFromVersion1ScoresKeptChecksAgain)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    {
        RawDatabase old(file);
        old.text("PRAGMA journal_mode = WAL");
        old.text(R"(CREATE TABLE checks (id INTEGER PRIMARY KEY,
            checked_at_ms INTEGER NOT NULL, sent_at_ms INTEGER NOT NULL, speed INTEGER NOT NULL,
            spaces INTEGER NOT NULL, tone INTEGER NOT NULL, noise INTEGER NOT NULL,
            straight INTEGER NOT NULL, tempo INTEGER NOT NULL, seed INTEGER NOT NULL,
            character_set BLOB NOT NULL, sent_text BLOB NOT NULL, copy_text BLOB NOT NULL,
            sent_count INTEGER NOT NULL, correct_count INTEGER NOT NULL,
            wrong_count INTEGER NOT NULL, missed_count INTEGER NOT NULL,
            extra_count INTEGER NOT NULL))");
        old.text("CREATE INDEX checks_by_time ON checks (checked_at_ms)");
        // Counts as an older scorer left them: they are replaced.
        old.text("INSERT INTO checks VALUES (1, 1000, 900, 60, 0, 600, 0, 0, 60, 1, 'abs',"
                 " 'vvv =' || char(13, 10) || 'aabbs sssab', 'aahbs sss', 0, 0, 0, 0, 0)");
        old.text("INSERT INTO checks VALUES (2, 2000, 1900, 60, 2, 600, 0, 0, 48, 1, 'abs',"
                 " 'babab', 'babab x', 0, 0, 0, 0, 0)");
        old.text("PRAGMA user_version = 1");
    }
    const ProgressData data = progressAfterUpgrade(file).first;
    ASSERT_EQ(data.checks.size(), 2u);
    EXPECT_EQ(data.checks[0], (CheckPoint{1000, 60, 10, 7}));
    EXPECT_EQ(data.checks[1], (CheckPoint{2000, 48, 5, 5}));
    EXPECT_EQ(data.confusions, (std::vector<ConfusionPair>{{'b', 'h', 1}}));

    RawDatabase raw(file);
    EXPECT_EQ(raw.text("PRAGMA user_version"), std::to_string(HistoryStore::kSchemaVersion));
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d %d %d', sent_count, correct_count, wrong_count,"
                       " missed_count, extra_count) FROM checks WHERE id = 1"),
              "10 7 1 2 0");
    EXPECT_EQ(raw.text("SELECT extra_count FROM checks WHERE id = 2"), "1");
}

// A file of the second version keeps outcomes of the scorer that paired a group written late
// with the letters sent there, and a drill's checks under the drill set: the upgrade scores
// them again and moves them under the set drilled.
TEST(HistoryStore, UpgradeFromVersion2DropsFalsePairsAndFilesDrillsUnderTheirSet)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    {
        HistoryStore store(file);
        SentExercise sent;
        sent.text = "abcde fghij klmno";
        sent.characterSet = "abcdefghijklmno";
        store.addCheck(checkCopy(sent, "abcde klmno fghij", 1000));
    }
    {
        RawDatabase old(file);
        old.text("UPDATE checks SET character_set = CAST('aaabbbbs' AS BLOB), correct_count = 5,"
                 " wrong_count = 10");
        // f as k, g as l, ... and back
        old.text("UPDATE check_outcomes SET pairs = CAST('aabbccddeefkglhminjokflgmhniojf'"
                 " AS BLOB)");
        old.text("PRAGMA user_version = 2");
    }
    const auto [data, sets] = progressAfterUpgrade(file);
    ASSERT_EQ(data.checks.size(), 1u);
    EXPECT_TRUE(data.confusions.empty());
    EXPECT_EQ(sets, std::vector<std::string>{"abs"});
    RawDatabase raw(file);
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d', sent_count, correct_count, wrong_count)"
                       " FROM checks"),
              "15 15 0");
}
