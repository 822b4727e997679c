// The sorvane-qr tool, run as a process.
#include "qr/Encoder.h"
#include "qr/QrTestSupport.h"
#include "share/QrPicture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace sorvane::qr {
namespace {

using test::gb;

struct ToolRun
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

ToolRun runTool(const std::vector<std::string> &args)
{
    const char *tool = std::getenv("SORVANE_QR_TOOL");
    EXPECT_NE(tool, nullptr) << "SORVANE_QR_TOOL not set";
    if (!tool)
        return {};
    const std::string outPath = testing::TempDir() + "sorvane-qr-cli.out";
    const std::string errPath = testing::TempDir() + "sorvane-qr-cli.err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char *> argv { const_cast<char *>(tool) };
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ToolRun run;
    if (posix_spawn(&pid, tool, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

// The symbol as the tool prints it, from the library.
std::string expectedMatrix(const std::string &utf8, const EcLevel &level)
{
    二维码类 record;
    编码类().编码(gb(utf8), level, record);
    std::string s = "version " + std::to_string(record.version()) + " level " + level.name() + " mask "
        + std::to_string(record.maskPattern()) + "\n";
    for (int y = 0; y < record.matrixWidth(); ++y) {
        for (int x = 0; x < record.matrixWidth(); ++x)
            s += record.矩阵取值(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(SorvaneQrTool, PrintsTheMatrix)
{
    const ToolRun run = runTool({ "--matrix", "--level", "m", "01234567" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, expectedMatrix("01234567", levelRegistry().M));
    EXPECT_EQ(run.out.substr(0, 23), "version 1 level M mask ");
    EXPECT_EQ(run.out.find("#######.", 0), run.out.find('\n') + 1); // first row starts with a finder

    // UTF-8 arguments are converted to the program's text before encoding.
    const ToolRun chinese = runTool({ "--matrix", "豆瓣电台" });
    EXPECT_EQ(chinese.exitCode, 0);
    EXPECT_EQ(chinese.out, expectedMatrix("豆瓣电台", levelRegistry().L));

    const ToolRun dash = runTool({ "--matrix", "--", "-x-" });
    EXPECT_EQ(dash.exitCode, 0);
    EXPECT_EQ(dash.out, expectedMatrix("-x-", levelRegistry().L));
}

TEST(SorvaneQrTool, WritesThePicture)
{
    const ToolRun toStdout = runTool({ "https://douban.fm/channel/1?start=2" });
    EXPECT_EQ(toStdout.exitCode, 0);
    const share::Picture expected
        = share::创建二维码("https://douban.fm/channel/1?start=2", "L", 100, 100, 0xFFFFFF, 0x000000);
    EXPECT_TRUE(toStdout.out == std::string(expected.begin(), expected.end()));

    const std::string path = testing::TempDir() + "sorvane-qr-cli.bmp";
    const ToolRun toFile = runTool({ "--size", "300x120", "--level", "H", "--out", path, "Sorvane" });
    EXPECT_EQ(toFile.exitCode, 0);
    EXPECT_TRUE(toFile.out.empty());
    const share::Picture wide = share::创建二维码("Sorvane", "H", 300, 120, 0xFFFFFF, 0x000000);
    EXPECT_TRUE(readFile(path) == std::string(wide.begin(), wide.end()));

    const ToolRun square = runTool({ "--size", "150", "--out", path, "Sorvane" });
    EXPECT_EQ(square.exitCode, 0);
    const share::Picture side150 = share::创建二维码("Sorvane", "L", 150, 150, 0xFFFFFF, 0x000000);
    EXPECT_TRUE(readFile(path) == std::string(side150.begin(), side150.end()));
}

TEST(SorvaneQrTool, BadArgumentsExit1)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        { "--matrix" },
        { "--level", "X", "A" },
        { "--level" },
        { "--size", "0", "A" },
        { "--size", "12x", "A" },
        { "--size", "5000", "A" },
        { "--size", "abc", "A" },
        { "--out", "", "A" },
        { "--bogus", "A" },
        { "A", "B" },
    };
    for (const auto &args : cases) {
        const ToolRun run = runTool(args);
        std::string joined;
        for (const std::string &a : args)
            joined += a + " ";
        EXPECT_EQ(run.exitCode, 1) << joined;
        EXPECT_EQ(run.err.rfind("usage: sorvane-qr", 0), 0u) << joined;
        EXPECT_TRUE(run.out.empty()) << joined;
    }
}

TEST(SorvaneQrTool, EncoderErrorsExit2)
{
    const ToolRun tooLong = runTool({ "--level", "H", std::string(1274, 'a') });
    EXPECT_EQ(tooLong.exitCode, 2);
    EXPECT_EQ(tooLong.err, "异常来源：[编码类]\n方法名称：初始化二维码()\n异常信息：\n");
    EXPECT_TRUE(tooLong.out.empty());

    const ToolRun tooLongMatrix = runTool({ "--matrix", std::string(2954, 'a') });
    EXPECT_EQ(tooLongMatrix.exitCode, 2);
    EXPECT_NE(tooLongMatrix.err.find("初始化二维码"), std::string::npos);

    const ToolRun spaces = runTool({ "--matrix", "  　" });
    EXPECT_EQ(spaces.exitCode, 2);
    EXPECT_EQ(spaces.err, "异常来源：[二维码模块]\n方法名称：编码()()\n异常信息：没有编码内容\n");
}

} // namespace
} // namespace sorvane::qr
