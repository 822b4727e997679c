#include "web/Download.h"
#include "TestServer.h"
#include "TestSupport.h"
#include "web/Limits.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorvane::web {
namespace {

using test::percentEncode;
using test::RawPort;
using test::TestServer;

class DownloadTest : public ::testing::Test
{
protected:
    TestServer server;
    std::string at(const std::string &path) const { return server.base() + path; }
};

TEST_F(DownloadTest, PlainHttp10GetWithItsTwoHeaders)
{
    EXPECT_EQ(download(at("/cover.jpg")), "ok");
    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "GET");
    EXPECT_EQ(seen->version, "HTTP/1.0");
    EXPECT_EQ(seen->header("user-agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(seen->header("accept"), "*/*");
}

TEST_F(DownloadTest, GivesTheBytes)
{
    const std::string bytes("\x00\xFF\x89PNG\r\n", 7);
    EXPECT_EQ(download(at("/reply?type=image%2Fpng&body=" + percentEncode(bytes))), bytes);
    EXPECT_EQ(download(at("/reply?body=")), ""); // an empty file is still a file
    EXPECT_EQ(download(at("/redirect/5")), "arrived");
    const auto whole = download(at("/size/" + std::to_string(kMaxDownloadBytes)));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), kMaxDownloadBytes);
}

TEST_F(DownloadTest, NothingOnAnyFailure)
{
    RawPort trap(/*listening=*/true);
    RawPort closed(/*listening=*/false);
    const std::string over = std::to_string(kMaxDownloadBytes + 1);
    const std::vector<std::string> failing = {
        at("/reply?status=404&body=missing"),
        at("/reply?status=500&body=broken"),
        at("/size/" + over),
        at("/stream/" + over),
        at("/redirect/6"),
        at("/redirect-to?url=" + percentEncode("file:///etc/hostname")),
        "file:///etc/hostname",
        "ftp://127.0.0.1:" + std::to_string(trap.port()) + "/",
        "http://127.0.0.1:" + std::to_string(closed.port()) + "/",
    };
    for (const std::string &url : failing) {
        EXPECT_EQ(download(url), std::nullopt) << url;
    }
    EXPECT_FALSE(trap.connectionPending());
}

} // namespace
} // namespace sorvane::web
