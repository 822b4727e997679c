#include "web/HttpRequest.h"
#include "TestServer.h"
#include "TestSupport.h"
#include "web/Limits.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <vector>

namespace sorvane::web {
namespace {

using test::gb;
using test::percentEncode;
using test::RawPort;
using test::TestServer;

class HttpRequestTest : public ::testing::Test
{
protected:
    TestServer server;

    std::string at(const std::string &path) const { return server.base() + path; }

    // A GET that must come back with a reply.
    void get(HttpRequest &request, const std::string &path)
    {
        ASSERT_TRUE(request.open(at(path)));
        ASSERT_TRUE(request.send()) << request.errorText();
    }

    static void expectFailed(const HttpRequest &request)
    {
        EXPECT_EQ(request.status(), 0);
        EXPECT_EQ(request.responseText(), "");
        EXPECT_EQ(request.responseBody(), "");
        EXPECT_EQ(request.getAllResponseHeaders(), "");
        EXPECT_NE(request.errorText(), "");
    }
};

TEST_F(HttpRequestTest, DecodesTheBodyFromTheDeclaredCharset)
{
    struct Case
    {
        std::string contentType;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        { "text/plain; charset=utf-8", test::utf8(u8"中文"), gb(u8"中文") },
        { "text/html; Charset=\"GBK\"", "\xD6\xD0\xCE\xC4", gb(u8"中文") },
        { "text/plain", test::utf8(u8"中文"), gb(u8"中文") }, // none declared: UTF-8
        { "text/plain; charset=ISO-8859-1", "caf\xE9", gb(u8"café") },
        { "text/plain; charset=x-no-such-set", test::utf8(u8"中文"), gb(u8"中文") },
    };
    HttpRequest request;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.contentType);
        get(request, "/reply?type=" + percentEncode(c.contentType) + "&body=" + percentEncode(c.body));
        EXPECT_EQ(request.status(), 200);
        EXPECT_EQ(request.responseBody(), c.body);
        EXPECT_EQ(request.responseText(), c.expected);
        EXPECT_EQ(request.responseText(), c.expected); // a second read gives the same text
    }
}

TEST_F(HttpRequestTest, ErrorStatusIsAReplyWithItsBody)
{
    HttpRequest request;
    get(request, "/reply?status=404&body=status%20body");
    EXPECT_EQ(request.status(), 404);
    EXPECT_EQ(request.statusText(), "Not Found");
    EXPECT_EQ(request.responseText(), "status body");
    EXPECT_EQ(request.errorText(), "");
}

TEST_F(HttpRequestTest, ReplyHeadersAsLinesOfTheFinalReply)
{
    HttpRequest request;
    get(request, "/redirect/1");
    EXPECT_EQ(request.getResponseHeader("location"), ""); // the redirect's own headers are gone
    get(request, "/reply?type=text%2Fplain&cookie=uid%3D8");
    const std::string all = request.getAllResponseHeaders();
    EXPECT_FALSE(all.starts_with("HTTP/")) << all;
    EXPECT_TRUE(all.ends_with("\r\n")) << all;
    EXPECT_NE(all.find("Set-Cookie: uid=8\r\n"), std::string::npos) << all;
    EXPECT_EQ(all.find("\r\n\r\n"), std::string::npos) << all;
    EXPECT_EQ(request.getResponseHeader("CONTENT-TYPE"), "text/plain");
    EXPECT_EQ(request.getResponseHeader("X-Absent"), "");
}

TEST_F(HttpRequestTest, FollowsUpToFiveRedirects)
{
    HttpRequest request;
    get(request, "/redirect/5");
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.responseText(), "arrived");
    EXPECT_EQ(request.url(), at("/redirect/0"));

    ASSERT_TRUE(request.open(at("/redirect/6")));
    EXPECT_FALSE(request.send());
    expectFailed(request);
    EXPECT_EQ(request.url(), at("/redirect/6"));
}

TEST_F(HttpRequestTest, OnlyHttpAndHttpsAreEverContacted)
{
    RawPort trap(/*listening=*/true);
    const std::string trapHost = "127.0.0.1:" + std::to_string(trap.port());
    HttpRequest request;
    const std::vector<std::string> refused = { "file:///etc/hostname", "ftp://" + trapHost + "/",
        "gopher://" + trapHost + "/", "telnet://" + trapHost, trapHost + "/", "http://", "" };
    for (const std::string &url : refused) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(request.open(url));
        EXPECT_EQ(request.readyState(), HttpRequest::Uninitialized);
        EXPECT_FALSE(request.send());
        expectFailed(request);
    }
    // Nor through a redirect.
    for (const std::string &target :
        std::vector<std::string> { "file:///etc/hostname", "ftp://" + trapHost + "/" }) {
        SCOPED_TRACE(target);
        get(request, "/reply?body=first");
        ASSERT_TRUE(request.open(at("/redirect-to?url=" + percentEncode(target))));
        EXPECT_FALSE(request.send());
        expectFailed(request);
    }
    EXPECT_FALSE(trap.connectionPending());
}

TEST_F(HttpRequestTest, BodyOverTheLimitIsAFailure)
{
    struct Case
    {
        std::string path;
        bool fits;
    };
    const std::string limit = std::to_string(kMaxReplyBytes);
    const std::string over = std::to_string(kMaxReplyBytes + 1);
    const Case cases[] = {
        { "/size/" + limit, true }, { "/size/" + over, false }, // announced by Content-Length
        { "/stream/" + limit, true }, { "/stream/" + over, false }, // found out while receiving
    };
    HttpRequest request;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(request.open(at(c.path)));
        EXPECT_EQ(request.send(), c.fits);
        if (c.fits)
            EXPECT_EQ(request.responseBody().size(), kMaxReplyBytes);
        else
            expectFailed(request);
    }
    // A HEAD reply only announces the length.
    ASSERT_TRUE(request.open("HEAD", at("/size/" + over)));
    ASSERT_TRUE(request.send()) << request.errorText();
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.getResponseHeader("Content-Length"), over);
    EXPECT_EQ(request.responseBody(), "");
}

TEST_F(HttpRequestTest, RefusedConnectionIsAFailure)
{
    RawPort closed(/*listening=*/false);
    HttpRequest request;
    ASSERT_TRUE(request.open("http://127.0.0.1:" + std::to_string(closed.port()) + "/"));
    EXPECT_FALSE(request.send());
    expectFailed(request);
    EXPECT_EQ(request.readyState(), HttpRequest::Completed);
}

TEST_F(HttpRequestTest, LoweredTimeoutEndsASlowReplyAndTheObjectRecovers)
{
    HttpRequest request;
    request.setTimeouts(50, 50, 50, 150);
    ASSERT_TRUE(request.open(at("/slow")));
    EXPECT_FALSE(request.send());
    expectFailed(request);

    server.releaseSlow();
    get(request, "/reply?body=fine");
    EXPECT_EQ(request.responseText(), "fine");
}

TEST_F(HttpRequestTest, UnknownCertificateIsATlsFailure)
{
    TestServer tls(TestServer::Transport::SelfSignedTls);
    HttpRequest request;
    ASSERT_TRUE(request.open(tls.base() + "/reply?body=secret"));
    EXPECT_FALSE(request.send());
    expectFailed(request);

    // Control: trusting that certificate, the same server answers, so the failure above
    // was the verification.
    CURL *curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    const std::string url = tls.base() + "/reply?body=secret";
    const std::string ca = TestServer::certificatePath();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char *, size_t size, size_t n, void *) { return size * n; });
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
    curl_easy_cleanup(curl);
}

TEST_F(HttpRequestTest, SendsMethodBodyAndHeaders)
{
    HttpRequest request;
    EXPECT_FALSE(request.setRequestHeader("X-Early", "1")); // nothing opened yet
    ASSERT_TRUE(request.open("POST", at("/form")));
    request.setDefaultHeaders("https://example.invalid/page");
    EXPECT_TRUE(request.setRequestHeader("X-Twice", "first"));
    EXPECT_TRUE(request.setRequestHeader("x-twice", "second"));
    EXPECT_TRUE(request.setRequestHeader("X-Gone", "1"));
    EXPECT_TRUE(request.setRequestHeader("X-Gone", ""));
    EXPECT_TRUE(request.setRange("bytes=0-9"));
    EXPECT_FALSE(request.setRequestHeader("X-Bad", "a\r\nInjected: 1"));
    EXPECT_FALSE(request.setRequestHeader("Bad Name", "1"));
    ASSERT_TRUE(request.send("a=1&b=2"));

    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "POST");
    EXPECT_EQ(seen->body, "a=1&b=2");
    EXPECT_EQ(seen->header("accept"), "*/*");
    EXPECT_EQ(seen->header("accept-language"), "zh_cn");
    EXPECT_EQ(seen->header("referer"), "https://example.invalid/page");
    EXPECT_EQ(seen->header("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(seen->header("x-twice"), "second");
    EXPECT_EQ(seen->headers.count("x-twice"), 1u);
    EXPECT_EQ(seen->header("x-gone"), "<none>");
    EXPECT_EQ(seen->header("range"), "bytes=0-9");
    EXPECT_EQ(seen->header("x-bad"), "<none>");
    EXPECT_EQ(seen->header("injected"), "<none>");

    // A new request starts without the headers of the last one, and GET sends no body.
    get(request, "/plain");
    const auto plain = server.lastRequest();
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->method, "GET");
    EXPECT_EQ(plain->version, "HTTP/1.1");
    EXPECT_EQ(plain->body, "");
    EXPECT_EQ(plain->header("referer"), "<none>");
}

TEST_F(HttpRequestTest, CookiesRoundTrip)
{
    HttpRequest request;
    get(request, "/reply?cookie=" + percentEncode("sid=1; path=/") + "&cookie=uid%3D8");
    EXPECT_EQ(request.getCookie("sid"), "1");
    EXPECT_EQ(request.getCookie("uid"), "8");
    EXPECT_EQ(request.cookieLines(), "Set-Cookie: sid=1; path=/\r\nSet-Cookie: uid=8\r\n");
    EXPECT_EQ(request.updateCookies(), "sid=1;uid=8;");

    ASSERT_TRUE(request.open(at("/next")));
    EXPECT_TRUE(request.sendCookies());
    ASSERT_TRUE(request.send());
    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->header("cookie"), "sid=1;uid=8;");

    get(request, "/reply?cookie=" + percentEncode("uid=9; path=/"));
    EXPECT_EQ(request.updateCookies(), "sid=1;uid=9;");
    get(request, "/reply?body=none");
    EXPECT_EQ(request.updateCookies(), "sid=1;uid=9;"); // a reply without cookies keeps the store
    EXPECT_EQ(request.cookieStore(), "sid=1;uid=9;");
}

TEST_F(HttpRequestTest, OpenStartsAFreshRequest)
{
    HttpRequest request;
    std::vector<int> states;
    request.setOnReadyStateChange([&](int state) { states.push_back(state); });
    EXPECT_EQ(request.readyState(), HttpRequest::Uninitialized);
    EXPECT_FALSE(request.send()); // nothing opened
    EXPECT_FALSE(request.waitForResponse());

    get(request, "/reply?status=201&body=one");
    EXPECT_TRUE(request.waitForResponse());
    EXPECT_FALSE(request.send()); // a sent request is not sent twice
    EXPECT_EQ(request.status(), 201);

    ASSERT_TRUE(request.open(at("/other")));
    EXPECT_EQ(request.status(), 0);
    EXPECT_EQ(request.responseText(), "");
    EXPECT_EQ(request.getAllResponseHeaders(), "");
    EXPECT_EQ(request.url(), at("/other"));
    request.abort();
    EXPECT_FALSE(request.send());
    EXPECT_EQ(states, (std::vector<int> { 1, 4, 1, 0 }));
}

TEST_F(HttpRequestTest, CredentialsAnswerTheChallenge)
{
    HttpRequest request;
    ASSERT_TRUE(request.open(at("/auth")));
    request.setCredentials("user", "pass");
    ASSERT_TRUE(request.send());
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.responseText(), "Basic dXNlcjpwYXNz");

    get(request, "/auth"); // credentials belong to one request
    EXPECT_EQ(request.status(), 401);
}

TEST_F(HttpRequestTest, NamedProxyCarriesTheRequest)
{
    HttpRequest request;
    request.setProxy(HttpRequest::ProxySetting::Named, "127.0.0.1:" + std::to_string(server.port()));
    ASSERT_TRUE(request.open("http://sorvane.invalid/via-proxy"));
    ASSERT_TRUE(request.send()) << request.errorText();
    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->target, "http://sorvane.invalid/via-proxy");

    // Bypassed hosts go direct.
    request.setProxy(HttpRequest::ProxySetting::Named, "127.0.0.1:1", "127.0.0.1;localhost");
    get(request, "/direct");
    EXPECT_EQ(request.responseText(), "ok");
}

} // namespace
} // namespace sorvane::web
