// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "history/history_store.h"
#include "history/history_transfer.h"
#include "history/local_days.h"
#include "scoring/copy_check.h"
#include "scoring/next_set_rule.h"
#include "support/test_files.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
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

constexpr uid_t kNobody = 65534;

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
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
    EXPECT_EQ(outcome, "1 Cannot keep the check in the history file " + file.string() +
                           ": Permission denied");
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
    HistoryStore store(file);
    const ProgressData data = store.progress({});
    EXPECT_EQ(data.days, (std::vector<DayPoint>{{localDay(1000), 2, 15, 12}}));
    EXPECT_EQ(data.tempos, (std::vector<TempoPoint>{{48, 1, 5, 5}, {60, 1, 10, 7}}));
    EXPECT_EQ(data.confusions, (std::vector<ConfusionPair>{{'b', 'h', 1}}));

    RawDatabase raw(file);
    EXPECT_EQ(raw.text("PRAGMA user_version"), std::to_string(HistoryStore::kSchemaVersion));
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d %d %d', sent_count, correct_count, wrong_count,"
                       " missed_count, extra_count) FROM checks WHERE id = 1"),
              "10 7 1 2 0");
    EXPECT_EQ(raw.text("SELECT extra_count FROM checks WHERE id = 2"), "1");
}

// The history file's link is followed only where no other user could turn the writes: a link
// into a folder others own or may write is refused, with nothing written there, and the
// history's own folder is private.
TEST(HistoryStore, NoLinkOrFolderLetsAnotherUserTurnTheWrites)
{
    const bool root = ::geteuid() == 0;
    struct Row {
        const char* name;
        bool needsRoot; // to make files of another user
        std::function<std::string(const std::filesystem::path& home,
                                  const std::filesystem::path& elsewhere)>
            plant; // makes the case; returns the reason expected, empty when the check is kept
    };
    const Row rows[] = {
        {"a link to another user's history", true,
         [](const auto& home, const auto& elsewhere) {
             HistoryStore(elsewhere / "history.sqlite").addCheck(sampleCheck());
             RawDatabase(elsewhere / "history.sqlite").text("PRAGMA wal_checkpoint(TRUNCATE)");
             std::filesystem::create_symlink(elsewhere / "history.sqlite", home / "history.sqlite");
             for (const auto& entry : std::filesystem::directory_iterator(elsewhere))
                 EXPECT_EQ(::chown(entry.path().c_str(), kNobody, kNobody), 0);
             EXPECT_EQ(::chown(elsewhere.c_str(), kNobody, kNobody), 0);
             return "its link leads to " + (elsewhere / "history.sqlite").string() +
                    ", into a folder that other users own or may write";
         }},
        {"a dangling link into a folder others may write", false,
         [](const auto& home, const auto& elsewhere) {
             std::filesystem::permissions(elsewhere, std::filesystem::perms::all);
             std::filesystem::create_symlink(elsewhere / "planted.sqlite", home / "history.sqlite");
             return "its link leads to " + (elsewhere / "planted.sqlite").string() +
                    ", into a folder that other users own or may write";
         }},
        {"a history folder of another user", true,
         [](const auto& home, const auto&) {
             EXPECT_EQ(::chown(home.c_str(), kNobody, kNobody), 0);
             return "Cannot use the folder " + home.string() + ": owned by another user";
         }},
        {"a history file of another user", true,
         [](const auto& home, const auto&) {
             HistoryStore(home / "history.sqlite").checkCount();
             for (const auto& entry : std::filesystem::directory_iterator(home))
                 EXPECT_EQ(::chown(entry.path().c_str(), kNobody, kNobody), 0);
             return std::string("it belongs to another user");
         }},
        {"a history folder open to others is closed", false,
         [](const auto& home, const auto&) {
             std::filesystem::permissions(home, std::filesystem::perms::all);
             return std::string();
         }},
        {"a link of the user's own to a private folder is followed", false,
         [](const auto& home, const auto& elsewhere) {
             std::filesystem::create_symlink(elsewhere / "kept.sqlite", home / "history.sqlite");
             return std::string();
         }},
    };
    for (const Row& row : rows) {
        if (row.needsRoot && !root) {
            std::cout << "[ SKIPPED  ] " << row.name
                      << ": needs root, to make files of another user\n";
            continue;
        }
        TemporaryFolder folder;
        const auto home = folder.path() / "home";
        const auto elsewhere = folder.path() / "elsewhere";
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(elsewhere);
        std::filesystem::permissions(elsewhere, std::filesystem::perms::owner_all);
        const std::string reason = row.plant(home, elsewhere);
        const std::vector<std::string> before = namesIn(elsewhere);
        const auto file = home / "history.sqlite";
        HistoryStore store(file);
        const std::string outcome = errorOf([&] { store.addCheck(sampleCheck()); });
        if (reason.empty()) {
            EXPECT_EQ(outcome, "no error") << row.name;
            EXPECT_EQ(std::filesystem::status(home).permissions(),
                      std::filesystem::perms::owner_all)
                << row.name;
        } else {
            EXPECT_EQ(outcome, "Cannot open the history file " + file.string() + ": " + reason)
                << row.name;
            EXPECT_EQ(namesIn(elsewhere), before) << row.name << ": something was made there";
            if (std::filesystem::exists(elsewhere / "history.sqlite")) {
                RawDatabase victim(elsewhere / "history.sqlite");
                EXPECT_EQ(victim.text("SELECT count(*) FROM checks"), "1") << row.name;
            }
        }
    }
}

// A full disk and a read-only folder are named as the system names them.
TEST(HistoryStore, ReasonsAreTheSystemsOwn)
{
    TemporaryFolder folder;
    const auto full = folder.path() / "full";
    const auto readOnly = folder.path() / "read-only";
    std::filesystem::create_directories(full);
    std::filesystem::create_directories(readOnly);
    const test::Mount fullDisk{
        full, ::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=256k,mode=0700") == 0};
    const test::Mount readOnlyDisk{
        readOnly, ::mount("tmpfs", readOnly.c_str(), "tmpfs", 0, "size=256k,mode=0700") == 0};
    if (!fullDisk.mounted || !readOnlyDisk.mounted)
        GTEST_SKIP() << "the full-disk and read-only cases need root to mount a tmpfs";

    HistoryStore(readOnly / "kept.sqlite").addCheck(sampleCheck());
    ASSERT_EQ(
        ::mount("tmpfs", readOnly.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k,mode=0700"),
        0);
    EXPECT_EQ(errorOf([&] { HistoryStore(readOnly / "new.sqlite").addCheck(sampleCheck()); }),
              "Cannot open the history file " + (readOnly / "new.sqlite").string() +
                  ": Read-only file system");
    const std::string kept =
        errorOf([&] { HistoryStore(readOnly / "kept.sqlite").addCheck(sampleCheck()); });
    EXPECT_TRUE(kept.ends_with(readOnly.string() + "/kept.sqlite: Read-only file system")) << kept;

    HistoryStore store(full / "history.sqlite");
    store.addCheck(sampleCheck());
    {
        std::ofstream filler(full / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    CopyCheck large = sampleCheck();
    for (int group = 0; group < 3500; ++group)
        large.sent.text += " eeeee"; // 21 KB, more than the disk has left
    large = checkCopy(large.sent, large.sent.text, large.checkedAtMs);
    EXPECT_EQ(errorOf([&] { store.addCheck(large); }),
              "Cannot keep the check in the history file " + (full / "history.sqlite").string() +
                  ": No space left on device");
}

TEST(HistoryStore, KeepsTheConditionsAndTellsAccuracyWithAndWithout)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore store(file);
    CopyCheck busy = sampleCheck("ab\xB9"
                                 "cd 5fghi");
    busy.sent.conditions = namedConditions()[2].conditions;
    busy = checkCopy(busy.sent, busy.copy, busy.checkedAtMs + 1);
    store.addCheck(sampleCheck());
    store.addCheck(sampleCheck());
    store.addCheck(busy);

    RawDatabase raw(file);
    EXPECT_EQ(raw.text("SELECT group_concat(conditions, '|') FROM checks ORDER BY id"),
              "||qsb 0.2:6, qrm 250:-6, qrm -400:-12");
    const CopyScore plainScore = sampleCheck().score;
    const ConditionsAccuracy accuracy = store.accuracyByConditions({});
    EXPECT_EQ(accuracy.plain,
              (ConditionsAccuracy::Part{2, 2 * plainScore.sentCount, 2 * plainScore.correct}));
    EXPECT_EQ(accuracy.conditioned,
              (ConditionsAccuracy::Part{1, busy.score.sentCount, busy.score.correct}));
    // The filter counts as it does for the progress figures.
    EXPECT_EQ(store.accuracyByConditions({.characterSet = "other"}), ConditionsAccuracy());
}

namespace {

// A check of `sent` copied as `copy` on `set`, at noon local time on `day` plus `minutes`.
CopyCheck checkOn(std::int64_t day, int minutes, const std::string& set, const std::string& sent,
                  const std::string& copy, int speed = 60)
{
    SentExercise exercise;
    exercise.text = sent;
    exercise.characterSet = set;
    exercise.settings = {.speed = speed, .spaces = 1, .tone = 650, .noise = 2, .straight = 3};
    exercise.seed = 77u + static_cast<std::uint32_t>(minutes);
    const std::int64_t at = localDayStartMs(day) + (12 * 60 + minutes) * 60'000LL;
    exercise.sentAtMs = at - 60'000;
    return checkCopy(exercise, copy, at);
}

constexpr std::int64_t kDay = 20'000; // 2024-10-04

std::vector<CopyCheck> someChecks()
{
    return {
        checkOn(kDay, 0, "abs", "abs ab", "abs ab"),
        checkOn(kDay, 5, "abs", "sssaa", "shsa"),
        checkOn(kDay + 1, 0, "abstgj", "gjgj ts, \"q\"", "jjgj ts"),
        checkOn(kDay + 3, 0, "abs", "baba\r\nabab", "babh abab x", 90),
        checkOn(kDay + 3, 1, "abs", "\xB9\xE6 ab", "\xB9\xE6 ab"),
    };
}

// Everything the progress view and the review schedule read, for comparing two histories.
std::string figuresOf(HistoryStore& store)
{
    std::ostringstream out;
    const ProgressData data = store.progress({});
    for (const DayPoint& day : data.days)
        out << "day " << day.day << " " << day.checks << " " << day.sentCount << " " << day.correct
            << "\n";
    for (const TempoPoint& tempo : data.tempos)
        out << "tempo " << tempo.tempo << " " << tempo.checks << " " << tempo.sentCount << "\n";
    for (const CharacterStatistics& c : data.characters)
        out << "char " << int(c.character) << " " << c.sent << " " << c.correct << " " << c.wrong
            << " " << c.missed << " " << c.extra << " " << c.recent.samples << "\n";
    for (const ReviewState& state : store.reviewStates(90))
        out << "review " << int(state.character) << " " << state.dueDay << "\n";
    return out.str();
}

} // namespace

TEST(HistoryStore, ChecksAddUpPerDay)
{
    TemporaryFolder folder;
    HistoryStore store(folder.path() / "history.sqlite");
    for (const CopyCheck& check : someChecks())
        store.addCheck(check);
    struct Row {
        const char* name;
        ProgressFilter filter;
        std::vector<DayPoint> days;
    };
    const Row rows[] = {
        {"all", {}, {{kDay, 2, 10, 8}, {kDay + 1, 1, 7, 5}, {kDay + 3, 2, 12, 11}}},
        {"one set", {.characterSet = "abs"}, {{kDay, 2, 10, 8}, {kDay + 3, 2, 12, 11}}},
        {"from a day until another",
         {.fromDay = kDay + 1, .untilDay = kDay + 3},
         {{kDay + 1, 1, 7, 5}}},
    };
    for (const Row& row : rows) {
        const ProgressData data = store.progress(row.filter);
        EXPECT_EQ(data.days, row.days) << row.name;
        int sent = 0;
        for (const CharacterStatistics& c : data.characters)
            sent += c.sent;
        int daySent = 0;
        for (const DayPoint& day : data.days)
            daySent += day.sentCount;
        EXPECT_EQ(sent, daySent) << row.name << ": the characters and the days agree";
    }
}

TEST(HistoryStore, ExportedCsvImportsIntoAnEmptyHistoryWithTheSameFigures)
{
    TemporaryFolder folder;
    HistoryStore store(folder.path() / "history.sqlite");
    for (const CopyCheck& check : someChecks())
        store.addCheck(check);
    store.exportCsv(folder.path() / "checks.csv", folder.path() / "characters.csv");
    store.exportCopy(folder.path() / "copy.sqlite");

    const std::string checksCsv = fileBytes(folder.path() / "checks.csv");
    EXPECT_EQ(checksCsv.substr(0, checksCsv.find("\r\n")),
              "checked_at,checked_at_ms,sent_at_ms,speed,spaces,tone,noise,straight,tempo,seed,"
              "character_set,sent_text,copy_text,sent_count,correct_count,wrong_count,"
              "missed_count,extra_count");
    EXPECT_NE(checksCsv.find("\"gjgj ts, \"\"q\"\"\""),
              std::string::npos);                                        // quoted, quotes doubled
    EXPECT_NE(checksCsv.find("\"baba\r\nabab\""), std::string::npos);    // a line break kept
    EXPECT_NE(checksCsv.find("\xC4\x85\xC4\x87 ab"), std::string::npos); // ą ć as UTF-8
    const std::string charactersCsv = fileBytes(folder.path() / "characters.csv");
    EXPECT_EQ(charactersCsv.substr(0, charactersCsv.find("\r\n")),
              "checked_at_ms,position,sent,typed,outcome,recognition_ms,anticipated");
    EXPECT_NE(charactersCsv.find(",2,s,h,wrong,,\r\n"), std::string::npos);

    for (const char* source : {"checks.csv", "copy.sqlite"}) {
        HistoryStore other(folder.path() / (std::string("other-") + source + ".sqlite"));
        EXPECT_EQ(other.importHistory(folder.path() / source), 5) << source;
        EXPECT_EQ(figuresOf(other), figuresOf(store)) << source;
    }
}

// Everything the sound of a check depends on is kept and read back whole; a file from before the
// buffer seed, the rise and the lead-in were kept has them unknown, and a merge keeps them so.
TEST(HistoryStore, KeepsAllTheSoundOfACheckAndNoneItDidNotKnow)
{
    TemporaryFolder folder;
    CopyCheck check = sampleCheck();
    check.sent.bufferSeed = 3'000'000'001u;
    check.sent.riseMs = 4;
    check.sent.leadInMs = 250;
    check.sent.conditions.qsbRate = 0.15;
    check.sent.conditions.qsbDepthDb = 8;
    check.sent.conditions.qrm = {{.offsetHz = -400, .levelDb = -12, .speed = 0},
                                 {.offsetHz = 250, .levelDb = -6, .speed = 90}};
    check.sent.conditions.qrnRate = 2;
    check.sent.conditions.qrnLevelDb = -3;
    check.sent.conditions.chirpHz = -40;
    check.sent.conditions.chirpMs = 20;
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).addCheck(check);
    EXPECT_EQ(RawDatabase(file).text("SELECT printf('%d %d %d', buffer_seed, rise_ms, lead_in_ms)"
                                     " FROM checks"),
              "3000000001 4 250");
    const std::vector<CopyCheck> readBack = readHistoryToImport(file, HistoryStore::kSchemaVersion);
    ASSERT_EQ(readBack.size(), 1u);
    EXPECT_EQ(readBack[0].sent, check.sent);

    // The same check in a file of version 5, brought up to date.
    const auto older = folder.path() / "older.sqlite";
    HistoryStore(older).addCheck(check);
    {
        RawDatabase raw(older);
        for (const char* column : {"buffer_seed", "rise_ms", "lead_in_ms"})
            raw.text(std::string("ALTER TABLE checks DROP COLUMN ") + column);
        raw.text("DROP TABLE outcome_times");
        raw.text("PRAGMA user_version = 5");
    }
    HistoryStore upgraded(older);
    upgraded.exportCsv(folder.path() / "checks.csv", folder.path() / "characters.csv");
    const char* unknown = "SELECT printf('%d %d %d', buffer_seed IS NULL, rise_ms IS NULL,"
                          " lead_in_ms IS NULL) FROM checks";
    EXPECT_EQ(RawDatabase(older).text(unknown), "1 1 1");
    const std::vector<CopyCheck> olderBack =
        readHistoryToImport(older, HistoryStore::kSchemaVersion);
    ASSERT_EQ(olderBack.size(), 1u);
    EXPECT_FALSE(olderBack[0].sent.renderingKnown);
    EXPECT_EQ(olderBack[0].sent.conditions, check.sent.conditions); // kept since version 3

    for (const char* source : {"older.sqlite", "checks.csv"}) {
        const auto merged = folder.path() / (std::string("merged-") + source + ".sqlite");
        EXPECT_EQ(HistoryStore(merged).importHistory(folder.path() / source), 1) << source;
        EXPECT_EQ(RawDatabase(merged).text(unknown), "1 1 1") << source;
    }
}

// A copy typed along keeps each outcome's recognition time through the file, its export and a
// merge; a file from before the times were kept has none and gains none.
TEST(HistoryStore, KeepsTheRecognitionTimesOfACopyTypedAlong)
{
    TemporaryFolder folder;
    CopyCheck check = sampleCheck();
    check.recognition.resize(check.score.characters.size());
    check.recognition[0] = RecognitionTime{240};
    check.recognition[1] = RecognitionTime{0, true};
    const auto file = folder.path() / "history.sqlite";
    HistoryStore(file).addCheck(check);
    CopyCheck untimed = sampleCheck(); // not typed along
    untimed.checkedAtMs += 1000;
    HistoryStore(file).addCheck(untimed);
    const std::vector<CopyCheck> readBack = readHistoryToImport(file, HistoryStore::kSchemaVersion);
    ASSERT_EQ(readBack.size(), 2u);
    EXPECT_EQ(readBack[0].recognition, check.recognition);
    EXPECT_TRUE(readBack[1].recognition.empty());
    HistoryStore store(file);
    const RecentRecognition recognition = store.recentRecognition();
    EXPECT_EQ(recognition['a'], (CharacterRecognition{1, 240}));
    EXPECT_EQ(recognition['b'], (CharacterRecognition{1, 0}));
    EXPECT_EQ(recognition['c'], CharacterRecognition{});
    EXPECT_EQ(store.recognitionOverTime({}),
              (std::vector<RecognitionPoint>{{check.checkedAtMs, 0, 2}}));
    EXPECT_TRUE(store.recognitionOverTime({.characterSet = "abs"}).empty());
    HistoryStore(file).exportCsv(folder.path() / "checks.csv", folder.path() / "characters.csv");
    const std::string charactersCsv = fileBytes(folder.path() / "characters.csv");
    EXPECT_NE(charactersCsv.find(",1,a,a,right,240,0\r\n"), std::string::npos) << charactersCsv;
    EXPECT_NE(charactersCsv.find(",2,b,b,right,0,1\r\n"), std::string::npos) << charactersCsv;
    EXPECT_NE(charactersCsv.find(",3,\xC4\x85,\xC4\x85,right,,0\r\n"), std::string::npos);

    const auto merged = folder.path() / "merged.sqlite";
    EXPECT_EQ(HistoryStore(merged).importHistory(file), 2);
    const char* timed = "SELECT group_concat(printf('%d:%s:%d', position, recognition_ms,"
                        " anticipated), ' ') FROM outcome_times WHERE position <= 3";
    EXPECT_EQ(RawDatabase(merged).text(timed), "1:240:0 2:0:1 3::0");

    const auto older = folder.path() / "older.sqlite";
    HistoryStore(older).addCheck(check);
    {
        RawDatabase raw(older);
        raw.text("DROP TABLE outcome_times");
        raw.text("PRAGMA user_version = 6");
    }
    HistoryStore(older).addCheck(check);
    EXPECT_EQ(RawDatabase(older).text("SELECT group_concat(DISTINCT check_id) FROM outcome_times"),
              "2");
}

// The next set's threshold and speed target live in the history: defaults until set, kept
// across openings, and a value out of range or no number reads as the default.
TEST(HistoryStore, KeepsTheNextSetThresholdAndSpeedTarget)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    EXPECT_EQ(HistoryStore(file).advanceThresholdPercent(), kDefaultAdvanceThresholdPercent);
    EXPECT_EQ(HistoryStore(file).advanceTargetMs(), std::nullopt);
    HistoryStore(file).setAdvanceThresholdPercent(80);
    HistoryStore(file).setAdvanceTargetMs(450);
    EXPECT_EQ(HistoryStore(file).advanceThresholdPercent(), 80);
    EXPECT_EQ(HistoryStore(file).advanceTargetMs(), 450);
    HistoryStore(file).setAdvanceTargetMs(std::nullopt);
    EXPECT_EQ(HistoryStore(file).advanceTargetMs(), std::nullopt);
    EXPECT_EQ(HistoryStore(file).advanceThresholdPercent(), 80);
    {
        RawDatabase raw(file);
        raw.text("UPDATE options SET value = 'x' WHERE name = 'advance_threshold_percent'");
        raw.text("INSERT INTO options VALUES ('advance_target_ms', 99)");
    }
    EXPECT_EQ(HistoryStore(file).advanceThresholdPercent(), kDefaultAdvanceThresholdPercent);
    EXPECT_EQ(HistoryStore(file).advanceTargetMs(), std::nullopt);
}

TEST(HistoryStore, MergingOverlappingHistoriesCountsEachCheckOnce)
{
    TemporaryFolder folder;
    const std::vector<CopyCheck> checks = someChecks();
    HistoryStore here(folder.path() / "here.sqlite");
    HistoryStore there(folder.path() / "there.sqlite");
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (i <= 2)
            here.addCheck(checks[i]);
        if (i >= 1)
            there.addCheck(checks[i]);
    }
    HistoryStore whole(folder.path() / "whole.sqlite");
    for (const CopyCheck& check : checks)
        whole.addCheck(check);

    EXPECT_EQ(here.importHistory(there.file()), 2);
    EXPECT_EQ(here.checkCount(), 5);
    EXPECT_EQ(figuresOf(here), figuresOf(whole));
    EXPECT_EQ(here.importHistory(there.file()), 0); // again: nothing new
    EXPECT_EQ(here.checkCount(), 5);
}

TEST(HistoryStore, DamagedOrForeignImportsChangeNothing)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "history.sqlite";
    {
        HistoryStore store(file);
        for (const CopyCheck& check : someChecks())
            store.addCheck(check);
        store.exportCsv(folder.path() / "checks.csv", folder.path() / "characters.csv");
        store.exportCopy(folder.path() / "copy.sqlite");
    }
    const std::string csv = fileBytes(folder.path() / "checks.csv");
    const std::string copy = fileBytes(folder.path() / "copy.sqlite");
    const auto written = [&folder](const std::string& name, const std::string& bytes) {
        const auto path = folder.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    {
        RawDatabase foreign(folder.path() / "foreign.sqlite");
        foreign.text("CREATE TABLE notes (text)");
    }
    struct Row {
        std::filesystem::path file;
        std::string reason;
    };
    const Row rows[] = {
        {written("zeroed.sqlite", copy.substr(0, 100) + std::string(copy.size() - 100, '\0')),
         "damaged"},
        {written("noise.sqlite", std::string(4096, '\x5A')), "neither"},
        {folder.path() / "foreign.sqlite", "neither"},
        {folder.path() / "characters.csv", "neither"},
        {written("cut.csv", csv.substr(0, csv.size() - 40)), "record 6"},
        {written("latin1.csv", csv + "\xE9\r\n"), "not UTF-8"},
        {written("quote.csv", csv + "\"1,2\r\n"), "neither"},
        {folder.path() / "missing.csv", "No such file or directory"},
        {folder.path() / "pipe.csv", "not a regular file"}, // refused, not waited on
    };
    ASSERT_EQ(::mkfifo((folder.path() / "pipe.csv").c_str(), 0600), 0);
    const std::string before = fileBytes(file);
    {
        HistoryStore store(file);
        const std::int64_t count = store.checkCount();
        for (const Row& row : rows) {
            try {
                store.importHistory(row.file);
                ADD_FAILURE() << row.file << " was imported";
            } catch (const Error& error) {
                EXPECT_NE(std::string(error.what()).find(row.reason), std::string::npos)
                    << row.file << ": " << error.what();
            }
            EXPECT_EQ(store.checkCount(), count) << row.file;
        }
    } // closed, so that the file's bytes are all there is
    EXPECT_EQ(fileBytes(file), before);
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
        // What the later versions added goes, so that the upgrade adds it again.
        for (const char* column : {"conditions", "buffer_seed", "rise_ms", "lead_in_ms"})
            old.text("ALTER TABLE checks DROP COLUMN " + std::string(column));
        for (const char* table :
             {"check_days", "outcome_totals", "character_days", "outcome_times"})
            old.text("DROP TABLE " + std::string(table));
        old.text("DROP INDEX checks_by_set");
        old.text("PRAGMA user_version = 2");
    }
    const auto [data, sets] = progressAfterUpgrade(file);
    ASSERT_EQ(data.days.size(), 1u);
    EXPECT_TRUE(data.confusions.empty());
    EXPECT_EQ(sets, std::vector<std::string>{"abs"});
    RawDatabase raw(file);
    EXPECT_EQ(raw.text("SELECT printf('%d %d %d', sent_count, correct_count, wrong_count)"
                       " FROM checks"),
              "15 15 0");
}
