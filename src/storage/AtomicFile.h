// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include "storage/Result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace sorvane::storage {

// Reads the regular file at `path` whole. Errors: NotFound when it does not exist,
// NotAFile for a directory, device or pipe (never blocks on a pipe), TooLarge when it
// holds more than `maxBytes`, ReadFailed otherwise.
Result<std::string> readFile(const std::filesystem::path &path, std::uintmax_t maxBytes);

// Replaces the file at `path` with `bytes` so that at every moment the path holds either
// the complete old file or the complete new one, also across a crash or power loss:
// writes "<name>.tmp-XXXXXX" in the same directory, flushes it to disk, renames it over
// `path` and flushes the directory. On failure (disk full, directory missing or not
// writable, `path` is a directory) returns WriteFailed, removes the temporary file and
// leaves the old file as it was.
//
// A new file gets the usual permissions (0666 less the umask); a replaced file keeps its
// permission bits. A symbolic link at `path` is replaced by a regular file.
Result<void> writeFileAtomically(const std::filesystem::path &path, std::string_view bytes);

} // namespace sorvane::storage
