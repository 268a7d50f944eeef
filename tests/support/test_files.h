// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace vortan::test {

// A mount of our own (root only), undone when done.
struct Mount {
    std::filesystem::path at;
    bool mounted;
    ~Mount()
    {
        if (mounted)
            ::umount(at.c_str());
    }
};

// A fresh folder under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    std::string name = (std::filesystem::temp_directory_path() / "vortan-test-XXXXXX").string();
    std::filesystem::path path = ::mkdtemp(name.data());
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path operator/(const std::string& entry) const { return path / entry; }
};

// 0 for a folder that does not exist.
inline std::size_t entryCount(const std::filesystem::path& folder)
{
    using std::filesystem::directory_iterator;
    return exists(folder) ? static_cast<std::size_t>(
                                std::distance(directory_iterator(folder), directory_iterator()))
                          : 0;
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace vortan::test
