// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "history/history_store.h"
#include "history_test_support.h"

#include <QSqlDatabase>
#include <QStringList>

#include <gmock/gmock.h>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace vortan;
using namespace vortan::test;
using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

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
        store.addCheck(sampleCheck(1700000060000));
        store.addCheck(sampleCheck(1700000120000, ""));
        EXPECT_EQ(store.checkCount(), 2);
    }
    RawDatabase raw(file);
    EXPECT_EQ(raw.text("PRAGMA user_version"), std::to_string(HistoryStore::kSchemaVersion));
    EXPECT_EQ(raw.text("PRAGMA journal_mode"), "wal");
    // Everything of the first check, bytes as they were: settings, tempo (60 at spaces 5 is
    // 37), the character set, both texts raw and the counts.
    EXPECT_EQ(
        raw.text("SELECT printf('%d %d %d %d %d %d %d %d %d', checked_at_ms, sent_at_ms,"
                 " speed, spaces, tone, noise, straight, tempo, seed) FROM checks WHERE id = 1"),
        "1700000060000 1700000000000 60 5 700 3 10 37 4000000000");
    EXPECT_EQ(raw.text("SELECT character_set FROM checks WHERE id = 1"), "abstgj");
    EXPECT_EQ(raw.text("SELECT sent_text FROM checks WHERE id = 1"), sampleExercise().text);
    EXPECT_EQ(raw.text("SELECT copy_text FROM checks WHERE id = 1"), "AB\xA5"
                                                                     "cd hfghi");
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d %d %d', sent_count, correct_count, wrong_count,"
                       " missed_count, extra_count) FROM checks WHERE id = 1"),
              "10 9 1 0 0");
    EXPECT_EQ(raw.text("SELECT printf('%d %d', sent_count, missed_count) FROM checks WHERE id = 2"),
              "10 10");

    HistoryStore again(file);
    EXPECT_EQ(again.checkCount(), 2);
}

TEST(HistoryStore, DefaultFileUnderTheDataHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string restore = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", "/somewhere/data", 1);
    EXPECT_EQ(HistoryStore::defaultFile(), "/somewhere/data/vortan/history.sqlite");
    ::setenv("XDG_DATA_HOME", "relative/data", 1); // only an absolute path counts
    ::setenv("HOME", "/home/learner", 1);
    EXPECT_EQ(HistoryStore::defaultFile(), "/home/learner/.local/share/vortan/history.sqlite");
    saved ? ::setenv("XDG_DATA_HOME", restore.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
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
            RawDatabase(file).execute("PRAGMA user_version = 99");
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

    TemporaryFolder folder;
    std::ofstream(folder.path() / "plain") << "a file where the folder should be";
    HistoryStore store(folder.path() / "plain" / "history.sqlite");
    EXPECT_THAT(errorOf([&] { store.checkCount(); }),
                AllOf(HasSubstr("Cannot open the history file " + folder.path().string() +
                                "/plain/history.sqlite: "),
                      HasSubstr("Not a directory")));
}

TEST(HistoryStore, DamagedPagesAreReportedWhenRead)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    {
        HistoryStore store(file);
        for (int i = 0; i < 40; ++i)
            store.addCheck(sampleCheck(1700000060000 + i, std::string(400, 'a')));
    }
    RawDatabase(file).execute("PRAGMA wal_checkpoint(TRUNCATE)");
    std::string bytes = fileBytes(file);
    ASSERT_GT(bytes.size(), 8192u);
    std::fill(bytes.begin() + 4096, bytes.end(), '\x7F'); // every page after the schema's
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    HistoryStore store(file);
    EXPECT_EQ(errorOf([&] { store.checkCount(); }), "Cannot read the history file " +
                                                        file.string() +
                                                        ": it is damaged or not a history file");
    EXPECT_EQ(fileBytes(file), bytes);
}

// Another Vortan in the middle of a write: this one waits its timeout, then says so and keeps
// nothing half; once the other is done, checks go in again.
TEST(HistoryStore, FileInUseByAnotherProgram)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore store(file, {.busyTimeout = std::chrono::milliseconds(100)});
    store.addCheck(sampleCheck());

    RawDatabase other(file);
    other.execute("BEGIN EXCLUSIVE");
    EXPECT_EQ(errorOf([&] { store.addCheck(sampleCheck()); }),
              "Cannot keep the check in the history file " + file.string() +
                  ": it is in use by another program");
    other.execute("COMMIT");
    store.addCheck(sampleCheck());
    EXPECT_EQ(store.checkCount(), 2);
}

TEST(HistoryStore, FullDiskLosesNothingKept)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).addCheck(sampleCheck());
    const int pages = std::stoi(RawDatabase(file).text("PRAGMA page_count"));

    HistoryStore full(file, {.maxPageCount = pages});
    EXPECT_EQ(errorOf([&] { full.addCheck(sampleCheck(1700000060000, std::string(20000, 'e'))); }),
              "Cannot keep the check in the history file " + file.string() + ": the disk is full");
    EXPECT_EQ(full.checkCount(), 1);
    EXPECT_EQ(RawDatabase(file).text("SELECT count(*) FROM checks"), "1");
}

// A read-only file can still be read; a check is refused with a reason. Root writes any file,
// so as root the check runs in a child that has become the unprivileged user "nobody".
TEST(HistoryStore, ReadOnlyFile)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).addCheck(sampleCheck());
    RawDatabase(file).execute("PRAGMA wal_checkpoint(TRUNCATE)");
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

// A file of the first version (checks without their outcomes) is brought up to date when first
// used: every kept check scored again from its raw copy, the counts with it.
TEST(HistoryStore, UpgradeFromVersion1ScoresKeptChecksAgain)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    {
        RawDatabase old(file);
        old.execute("PRAGMA journal_mode = WAL");
        old.execute(R"(CREATE TABLE checks (id INTEGER PRIMARY KEY,
            checked_at_ms INTEGER NOT NULL, sent_at_ms INTEGER NOT NULL, speed INTEGER NOT NULL,
            spaces INTEGER NOT NULL, tone INTEGER NOT NULL, noise INTEGER NOT NULL,
            straight INTEGER NOT NULL, tempo INTEGER NOT NULL, seed INTEGER NOT NULL,
            character_set BLOB NOT NULL, sent_text BLOB NOT NULL, copy_text BLOB NOT NULL,
            sent_count INTEGER NOT NULL, correct_count INTEGER NOT NULL,
            wrong_count INTEGER NOT NULL, missed_count INTEGER NOT NULL,
            extra_count INTEGER NOT NULL))");
        old.execute("CREATE INDEX checks_by_time ON checks (checked_at_ms)");
        // Counts as an older scorer left them: they are replaced.
        old.execute("INSERT INTO checks VALUES (1, 1000, 900, 60, 0, 600, 0, 0, 60, 1, 'abs',"
                    " 'vvv =' || char(13, 10) || 'aabbs sssab', 'aahbs sss', 0, 0, 0, 0, 0)");
        old.execute("INSERT INTO checks VALUES (2, 2000, 1900, 60, 2, 600, 0, 0, 48, 1, 'abs',"
                    " 'babab', 'babab x', 0, 0, 0, 0, 0)");
        old.execute("PRAGMA user_version = 1");
    }
    HistoryStore store(file);
    const ProgressData data = store.progress({});
    ASSERT_EQ(data.checks.size(), 2u);
    EXPECT_EQ(data.checks[0], (CheckPoint{1000, 60, 10, 7}));
    EXPECT_EQ(data.checks[1], (CheckPoint{2000, 48, 5, 5}));
    EXPECT_EQ(data.confusions, (std::vector<ConfusionPair>{{'b', 'h', 1}}));

    RawDatabase raw(file);
    EXPECT_EQ(raw.text("PRAGMA user_version"), "2");
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d %d %d', sent_count, correct_count, wrong_count,"
                       " missed_count, extra_count) FROM checks WHERE id = 1"),
              "10 7 1 2 0");
    EXPECT_EQ(raw.text("SELECT extra_count FROM checks WHERE id = 2"), "1");
}

TEST(HistoryStore, ProgressOfTheFilteredChecks)
{
    TemporaryFolder folder;
    HistoryStore store(folder.path() / "history.sqlite");
    const auto add = [&store](std::int64_t at, std::string set, std::string copy) {
        CopyCheck check = sampleCheck(at, std::move(copy)); // sent: "ab\xB9cd 5fghi"
        check.sent.characterSet = std::move(set);
        store.addCheck(check);
    };
    add(1000, "abs",
        "ab\xB9"
        "cd hfghi"); // 5 as h
    add(2000, "abst",
        "ab\xB9"
        "cd 5fghi");
    add(3000, "abs",
        "ab\xB9"
        "cd sfghi"); // 5 as s
    add(4000, "abs",
        "ab\xB9"
        "cd hfghi");

    const auto confusionsOf = [&store](const ProgressFilter& filter) {
        std::string result;
        for (const ConfusionPair& pair : store.progress(filter).confusions)
            result += std::string{char(pair.sent), '>', char(pair.typed)} +
                      std::to_string(pair.count) + ' ';
        return result;
    };
    EXPECT_EQ(confusionsOf({}), "5>h2 5>s1 ");
    EXPECT_EQ(confusionsOf({.fromMs = 2000, .untilMs = 4000}), "5>s1 ");
    EXPECT_EQ(confusionsOf({.characterSet = "abst"}), "");
    EXPECT_EQ(store.progress({.characterSet = "abs"}).checks.size(), 3u);
    EXPECT_EQ(store.characterSets(), (std::vector<std::string>{"abs", "abst"}));

    // The recent window runs over every check, newest first: 5 was right once in four.
    EXPECT_EQ(store.recentAccuracy("5a")['5'], (RecentSamples{4, 1}));
    EXPECT_EQ(store.recentAccuracy("5a")['a'], (RecentSamples{4, 4}));
}

TEST(HistoryStore, ThresholdKeptWithTheHistory)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).setAdvanceThresholdPercent(85);
    EXPECT_EQ(HistoryStore(file).advanceThresholdPercent(), 85);

    TemporaryFolder other;
    EXPECT_EQ(HistoryStore(other.path() / "history.sqlite").advanceThresholdPercent(), 90);
}
