// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <system_error>

namespace vortan {

// Where a chain of symbolic links ends: the path itself when it is no link, else the path the
// last link names, which need not exist (a file written there is created, so a linked dotfile
// stays linked). A relative link counts from the folder the link lies in. Only the last part of
// each path is followed; the folders on the way are taken as the system takes them. Sets error
// (ELOOP) for a loop or a chain of more than 40 links, or to why a link could not be read.
std::filesystem::path finalLinkTarget(const std::filesystem::path& file, std::error_code& error);

} // namespace vortan
