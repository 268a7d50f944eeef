#include "app/temporary_sound_file.h"
#include "synthesis/errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace vortan {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts the old values back.
class EnvironmentGuard {
public:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentGuard()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first, it->second->c_str(), 1);
            else
                ::unsetenv(it->first);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

class TemporarySoundFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vortan-tempfile-test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path m_root;
    EnvironmentGuard m_environment;
};

TEST_F(TemporarySoundFile, PrefersRuntimeFolderThenCacheThenHome)
{
    fs::create_directory(m_root / "run");
    m_environment.set("XDG_RUNTIME_DIR", (m_root / "run").c_str());
    m_environment.set("XDG_CACHE_HOME", (m_root / "cache").c_str());
    m_environment.set("HOME", (m_root / "home").c_str());
    EXPECT_EQ(temporarySoundFilePath(), m_root / "run" / "vortan" / "~ortan.wav");

    // A relative or missing runtime folder does not count.
    m_environment.set("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(temporarySoundFilePath(), m_root / "cache" / "vortan" / "~ortan.wav");
    m_environment.set("XDG_RUNTIME_DIR", (m_root / "missing").c_str());
    EXPECT_EQ(temporarySoundFilePath(), m_root / "cache" / "vortan" / "~ortan.wav");

    m_environment.set("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(temporarySoundFilePath(), m_root / "home" / ".cache" / "vortan" / "~ortan.wav");
}

TEST_F(TemporarySoundFile, FolderIsMadePrivate)
{
    const fs::path folder = m_root / "cache" / "vortan";
    preparePrivateFolder(folder);
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    // A folder others may write into is closed up again.
    ::chmod(folder.c_str(), 0777);
    preparePrivateFolder(folder);
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0077, 0u);
}

TEST_F(TemporarySoundFile, RefusesWhatIsNotOurFolder)
{
    std::ofstream(m_root / "plain-file") << "x";
    EXPECT_THROW(preparePrivateFolder(m_root / "plain-file"), Error);

    fs::create_directory(m_root / "elsewhere");
    fs::create_directory_symlink(m_root / "elsewhere", m_root / "link");
    EXPECT_THROW(preparePrivateFolder(m_root / "link"), Error);

    try {
        preparePrivateFolder(m_root / "plain-file" / "vortan");
        FAIL() << "a folder below a file cannot exist";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("plain-file"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace vortan
