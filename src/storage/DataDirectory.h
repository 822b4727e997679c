// Where the program keeps gcsz.ini and scgq.ini.
#pragma once

#include "storage/Result.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace sorvane::storage {

// Returns the value of an environment variable, or nullopt when it is not set.
using EnvironmentGetter = std::function<std::optional<std::string>(const char *name)>;

// Decides the data directory, in this order:
//  1. $SORVANE_DATA_DIR when set and not empty (created when missing);
//  2. `executableDir`, the directory of the running program, when it is a directory this
//     process may write to: the files sit next to the program as they always did;
//  3. $XDG_CONFIG_HOME/sorvane, or $HOME/.config/sorvane when XDG_CONFIG_HOME is unset,
//     empty or not absolute; created (mode 0700) when missing, so an installed program
//     keeps its favourites across starts.
// Returns NoDataDirectory when the chosen directory cannot be created, or when neither
// the program's directory nor any of the variables gives one.
Result<std::filesystem::path> dataDirectory(
    const std::filesystem::path &executableDir, const EnvironmentGetter &environment);

// The same with the directory of /proc/self/exe and the process environment.
Result<std::filesystem::path> dataDirectory();

// The directory that holds the running executable.
Result<std::filesystem::path> executableDirectory();

} // namespace sorvane::storage
