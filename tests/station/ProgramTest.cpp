#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "station/Catalogue.h"

namespace {

// The station program run as a child with its stdout and stderr on pipes.
class Child
{
public:
    explicit Child(std::vector<std::string> args)
    {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(err[1], 2);
            close(out[0]), close(err[0]), close(out[1]), close(err[1]);
            std::vector<char *> argv { const_cast<char *>(SORVANE_STATION_EXE) };
            for (auto &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]), close(err[1]);
        out_ = out[0], err_ = err[0];
    }
    ~Child()
    {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_), close(err_);
    }

    // Reads from fd until a newline or until nothing more comes within 10 s.
    static std::string readLine(int fd)
    {
        std::string line;
        char c;
        pollfd p { fd, POLLIN, 0 };
        while (poll(&p, 1, 10000) == 1 && read(fd, &c, 1) == 1 && c != '\n')
            line.push_back(c);
        return line;
    }
    std::string stdoutLine() { return readLine(out_); }
    std::string stderrLine() { return readLine(err_); }

    // Exit status after the signal (or after exiting by itself), -1 when it is killed.
    int finish(int signal)
    {
        if (signal)
            kill(pid_, signal);
        int status = 0;
        for (int i = 0; i < 1000; ++i) { // at most 10 s
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -2;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool exited_ = false;
};

TEST(StationProgram, ServesUntilTerminated)
{
    Child child({ "--catalogue", sorvane::station::shortCatalogueDir().string(), "--delay-ms", "1" });
    std::smatch m;
    const std::string ready = child.stdoutLine();
    ASSERT_TRUE(std::regex_match(ready, m, std::regex(R"(listening on http://127\.0\.0\.1:(\d+))"))) << ready;

    httplib::Client client("127.0.0.1", std::stoi(m[1]));
    client.set_read_timeout(10);
    auto res = client.Get("/j/v2/playlist?channel=-10");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("\"title\":\"茉莉花\""), std::string::npos);
    EXPECT_EQ(child.stderrLine(), "GET /j/v2/playlist?channel=-10 200");
    EXPECT_EQ(child.finish(SIGTERM), 0);
}

TEST(StationProgram, DefaultsToTheDemoCatalogue)
{
    Child child({ "--quiet", "--port", "0" });
    const std::string ready = child.stdoutLine();
    ASSERT_EQ(ready.rfind("listening on http://127.0.0.1:", 0), 0u) << ready;
    httplib::Client client("127.0.0.1", std::stoi(ready.substr(ready.rfind(':') + 1)));
    auto res = client.Get("/j/v2/lyric?sid=1001&ssid=4e7a");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("好一朵美丽的茉莉花"), std::string::npos);
    EXPECT_EQ(child.finish(SIGINT), 0);
}

TEST(StationProgram, RefusesBadArguments)
{
    const struct
    {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        { { "--port", "70000" }, 2, "bad argument \"--port\"" },
        { { "--delay-ms" }, 2, "bad argument \"--delay-ms\"" },
        { { "--colour" }, 2, "bad argument \"--colour\"" },
        { { "--catalogue", "/nonexistent" }, 1, "/nonexistent/catalogue.ini: cannot open" },
    };
    for (const auto &c : cases) {
        Child child(c.args);
        EXPECT_EQ(child.finish(0), c.status) << c.args[0];
        EXPECT_NE(child.stderrLine().find(c.message), std::string::npos) << c.args[0];
    }
}

} // namespace
