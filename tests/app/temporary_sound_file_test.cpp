#include "app/temporary_sound_file.h"
#include "base/errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace vortan {
namespace {

namespace fs = std::filesystem;

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
};

TEST_F(TemporarySoundFile, LivesInTheRuntimeFolderElseTheCache)
{
    fs::create_directory(m_root / "run");
    ::setenv("XDG_CACHE_HOME", (m_root / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (m_root / "run").c_str(), 1);
    EXPECT_EQ(temporarySoundFilePath(), m_root / "run" / "vortan" / "~ortan.wav");
    // A relative or missing runtime folder does not count.
    for (const fs::path& runtime : {fs::path("relative/run"), m_root / "missing"}) {
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        EXPECT_EQ(temporarySoundFilePath(), m_root / "cache" / "vortan" / "~ortan.wav");
    }
}

TEST_F(TemporarySoundFile, FolderIsPrivateAndReallyAFolder)
{
    const auto mode = [](const fs::path& path) {
        struct stat status {};
        return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & (S_IFMT | 07777) : 0u;
    };
    const fs::path folder = m_root / "cache" / "vortan";
    preparePrivateFolder(folder);
    EXPECT_EQ(mode(folder), S_IFDIR | 0700u);
    // A folder others may write into is closed up again.
    ::chmod(folder.c_str(), 0777);
    preparePrivateFolder(folder);
    EXPECT_EQ(mode(folder), S_IFDIR | 0700u);

    fs::create_directory_symlink(folder, m_root / "link");
    EXPECT_THROW(preparePrivateFolder(m_root / "link"), Error);
    std::ofstream(m_root / "file") << "x";
    EXPECT_THROW(preparePrivateFolder(m_root / "file"), Error);
}

} // namespace
} // namespace vortan
