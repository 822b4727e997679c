#include "storage/DataDirectory.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using namespace sorvane::storage;
using sorvane::testing::TempDir;
using sorvane::testing::writeBytes;

namespace {

EnvironmentGetter fakeEnvironment(std::map<std::string, std::string> vars)
{
    return [vars = std::move(vars)](const char *name) -> std::optional<std::string> {
        const auto it = vars.find(name);
        return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

// Paths in the cases are relative to a fresh temporary directory; "" stays empty.
struct Case
{
    const char *name;
    const char *executableDir;
    std::map<std::string, std::string> environment;
    const char *expected; // nullptr: NoDataDirectory
};

class DataDirectoryChoice : public ::testing::TestWithParam<Case>
{
};

TEST_P(DataDirectoryChoice, PicksTheFirstUsableDirectory)
{
    TempDir root;
    std::filesystem::create_directories(root / "bin");
    writeBytes(root / "afile", "x");
    const auto under
        = [&root](const std::string &p) { return p.empty() || p[0] == '/' ? p : (root / p).string(); };

    const Case &c = GetParam();
    std::map<std::string, std::string> env;
    for (const auto &[k, v] : c.environment)
        env[k] = k == "XDG_CONFIG_HOME" && v == "relative" ? v : under(v);

    const Result<std::filesystem::path> dir = dataDirectory(under(c.executableDir), fakeEnvironment(env));
    if (!c.expected) {
        ASSERT_FALSE(dir);
        EXPECT_EQ(dir.error().code, ErrorCode::NoDataDirectory);
        return;
    }
    ASSERT_TRUE(dir) << dir.error().message;
    EXPECT_EQ(dir.value(), under(c.expected));
    EXPECT_TRUE(std::filesystem::is_directory(dir.value()));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataDirectoryChoice,
    ::testing::Values(Case { "OverrideWinsAndIsCreated", "bin",
                          { { "SORVANE_DATA_DIR", "data/x" }, { "HOME", "home" } }, "data/x" },
        Case { "EmptyOverrideIsUnset", "bin", { { "SORVANE_DATA_DIR", "" } }, "bin" },
        Case { "ProgramDirectoryWhenWritable", "bin", { { "XDG_CONFIG_HOME", "cfg" } }, "bin" },
        Case { "XdgWhenProgramDirectoryMissing", "gone", { { "XDG_CONFIG_HOME", "cfg" }, { "HOME", "home" } },
            "cfg/sorvane" },
        Case { "XdgWhenProgramDirectoryIsAFile", "afile", { { "XDG_CONFIG_HOME", "cfg" } }, "cfg/sorvane" },
        Case { "HomeWhenXdgRelative", "", { { "XDG_CONFIG_HOME", "relative" }, { "HOME", "home" } },
            "home/.config/sorvane" },
        Case { "HomeWhenXdgEmpty", "", { { "XDG_CONFIG_HOME", "" }, { "HOME", "home" } },
            "home/.config/sorvane" },
        Case { "NothingUsable", "", {}, nullptr },
        Case { "OverrideThatCannotBeCreated", "bin", { { "SORVANE_DATA_DIR", "afile/sub" } }, nullptr },
        Case { "ConfigThatCannotBeCreated", "", { { "HOME", "afile" } }, nullptr }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DataDirectory, CreatedConfigDirectoryIsPrivate)
{
    TempDir root;
    const Result<std::filesystem::path> dir
        = dataDirectory("", fakeEnvironment({ { "XDG_CONFIG_HOME", (root / "cfg").string() } }));
    ASSERT_TRUE(dir);
    struct stat st
    {
    };
    ASSERT_EQ(::stat(dir.value().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(DataDirectory, RealEnvironmentFindsTheTestProgramsDirectory)
{
    const Result<std::filesystem::path> exe = executableDirectory();
    ASSERT_TRUE(exe);
    EXPECT_TRUE(std::filesystem::exists(exe.value() / "storage_tests"));
}

} // namespace
