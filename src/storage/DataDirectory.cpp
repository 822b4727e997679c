#include "storage/DataDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane::storage {

namespace {

std::optional<std::string> nonEmpty(const EnvironmentGetter &environment, const char *name)
{
    std::optional<std::string> value = environment(name);
    if (value && value->empty())
        return std::nullopt;
    return value;
}

bool isWritableDirectory(const std::filesystem::path &dir)
{
    std::error_code ec;
    return !dir.empty() && std::filesystem::is_directory(dir, ec)
        && ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Creates `dir` and its missing parents with mode 0700.
Result<std::filesystem::path> ensureDirectory(const std::filesystem::path &dir)
{
    std::filesystem::path partial;
    for (const std::filesystem::path &part : dir) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            const int err = errno;
            return Error { ErrorCode::NoDataDirectory,
                "mkdir " + partial.string() + ": " + std::strerror(err) };
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
        return Error { ErrorCode::NoDataDirectory, dir.string() + " is not a directory" };
    return dir;
}

} // namespace

Result<std::filesystem::path> dataDirectory(
    const std::filesystem::path &executableDir, const EnvironmentGetter &environment)
{
    if (const auto overridden = nonEmpty(environment, "SORVANE_DATA_DIR"))
        return ensureDirectory(std::filesystem::absolute(*overridden));

    if (isWritableDirectory(executableDir))
        return executableDir;

    std::filesystem::path config;
    if (const auto xdg = nonEmpty(environment, "XDG_CONFIG_HOME"); xdg && xdg->front() == '/')
        config = *xdg;
    else if (const auto home = nonEmpty(environment, "HOME"))
        config = std::filesystem::path(*home) / ".config";
    else
        return Error { ErrorCode::NoDataDirectory,
            "the program's directory is not writable and neither XDG_CONFIG_HOME nor HOME is set" };
    return ensureDirectory(config / "sorvane");
}

Result<std::filesystem::path> executableDirectory()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return Error { ErrorCode::NoDataDirectory, "cannot read /proc/self/exe: " + ec.message() };
    return exe.parent_path();
}

Result<std::filesystem::path> dataDirectory()
{
    const EnvironmentGetter environment = [](const char *name) -> std::optional<std::string> {
        const char *value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const Result<std::filesystem::path> exeDir = executableDirectory();
    return dataDirectory(exeDir ? exeDir.value() : std::filesystem::path(), environment);
}

} // namespace sorvane::storage
