// A real HTTP(S) server on 127.0.0.1 for the web tests, and a bare TCP port.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::web::test {

struct SeenRequest
{
    std::string method;
    std::string target;
    std::string version;
    std::string body;
    std::multimap<std::string, std::string> headers; // names in lower case

    // The first value of header `name` (lower case), or "<none>".
    std::string header(const std::string &name) const;
};

// Serves these routes on a port of its own until destroyed:
//   /text/<charset>         "中文" (or "café" for latin1) in that charset, declared as given
//   /status/<n>             status n, body "status body"
//   /redirect/<n>           redirects n times, then "arrived"
//   /redirect-to?url=<u>    302 to <u>
//   /size/<n>               n bytes with a Content-Length
//   /stream/<n>             n bytes, chunked (no length announced)
//   /slow                   answers "late" only after releaseSlow() (or 2 s)
//   /cookies                two Set-Cookie headers: "sid=1; path=/" and "uid=8"
//   /auth                   401 with a Basic challenge until an Authorization header comes
//   anything else           "ok"; every request is recorded
class TestServer
{
public:
    enum class Transport { Plain, SelfSignedTls };
    explicit TestServer(Transport transport = Transport::Plain);
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    int port() const;
    // "http://127.0.0.1:<port>" (https for TLS).
    std::string base() const;
    std::vector<SeenRequest> requests() const;
    std::optional<SeenRequest> lastRequest() const;
    // Lets the /slow handlers answer.
    void releaseSlow();

    // The certificate the TLS server presents.
    static std::string certificatePath();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A TCP port on 127.0.0.1 that refuses connections (bound, not listening) or accepts them
// into its backlog without ever reading (listening), to tell whether anything connected.
class RawPort
{
public:
    explicit RawPort(bool listening);
    ~RawPort();
    RawPort(const RawPort &) = delete;
    RawPort &operator=(const RawPort &) = delete;

    int port() const { return m_port; }
    // True when a connection waits in the backlog.
    bool connectionPending() const;

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace sorvane::web::test
