#include "TestServer.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace sorvane::web::test {

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Sends `length` bytes of 'x' in pieces, stopping when the client goes away.
bool writeFiller(httplib::DataSink &sink, std::size_t length)
{
    static const std::string piece(64 * 1024, 'x');
    return sink.write(piece.data(), std::min(length, piece.size()));
}

} // namespace

std::string SeenRequest::header(const std::string &name) const
{
    const auto it = headers.find(name);
    return it == headers.end() ? "<none>" : it->second;
}

struct TestServer::Impl
{
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;
    bool tls = false;

    mutable std::mutex mutex;
    std::vector<SeenRequest> seen;
    std::condition_variable slowCv;
    bool slowReleased = false;

    void routes();
};

void TestServer::Impl::routes()
{
    using httplib::Request;
    using httplib::Response;
    httplib::Server &s = *server;

    s.set_pre_routing_handler([this](const Request &req, Response &) {
        SeenRequest r { req.method, req.target, req.version, req.body, {} };
        for (const auto &[name, value] : req.headers)
            r.headers.emplace(lower(name), value);
        std::lock_guard lock(mutex);
        seen.push_back(std::move(r));
        return httplib::Server::HandlerResponse::Unhandled;
    });

    s.Get("/reply", [](const Request &req, Response &res) {
        if (req.has_param("status"))
            res.status = std::stoi(req.get_param_value("status"));
        for (std::size_t i = 0; i < req.get_param_value_count("cookie"); ++i)
            res.set_header("Set-Cookie", req.get_param_value("cookie", i));
        res.set_content(req.get_param_value("body"),
            req.has_param("type") ? req.get_param_value("type").c_str() : "text/plain");
    });
    s.Get(R"(/redirect/(\d+))", [](const Request &req, Response &res) {
        const int left = std::stoi(req.matches[1]);
        if (left > 0)
            res.set_redirect("/redirect/" + std::to_string(left - 1));
        else
            res.set_content("arrived", "text/plain");
    });
    s.Get("/redirect-to",
        [](const Request &req, Response &res) { res.set_redirect(req.get_param_value("url")); });
    s.Get(R"(/size/(\d+))", [](const Request &req, Response &res) {
        const std::size_t size = std::stoull(req.matches[1]);
        res.set_content_provider(
            size, "application/octet-stream", [](std::size_t, std::size_t length, httplib::DataSink &sink) {
                return writeFiller(sink, length);
            });
    });
    s.Get(R"(/stream/(\d+))", [](const Request &req, Response &res) {
        const std::size_t size = std::stoull(req.matches[1]);
        res.set_chunked_content_provider(
            "application/octet-stream", [size](std::size_t offset, httplib::DataSink &sink) {
                if (offset >= size) {
                    sink.done();
                    return true;
                }
                return writeFiller(sink, size - offset);
            });
    });
    s.Get("/slow", [this](const Request &, Response &res) {
        std::unique_lock lock(mutex);
        slowCv.wait_for(lock, std::chrono::seconds(2), [this] { return slowReleased; });
        res.set_content("late", "text/plain");
    });
    s.Get("/auth", [](const Request &req, Response &res) {
        if (!req.has_header("Authorization")) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"test\"");
            return;
        }
        res.set_content(req.get_header_value("Authorization"), "text/plain");
    });
    const auto ok = [this](const Request &req, Response &res) {
        // A body is read only after the pre-routing handler has run.
        std::lock_guard lock(mutex);
        if (!seen.empty())
            seen.back().body = req.body;
        res.set_content("ok", "text/plain");
    };
    s.Get(".*", ok);
    s.Post(".*", ok);
    s.Put(".*", ok);
    s.Delete(".*", ok);
}

TestServer::TestServer(Transport transport)
    : m_impl(std::make_unique<Impl>())
{
    if (transport == Transport::SelfSignedTls) {
        const std::string key = std::string(SORVANE_WEB_TEST_DATA) + "/selfsigned-key.pem";
        m_impl->server = std::make_unique<httplib::SSLServer>(certificatePath().c_str(), key.c_str());
        m_impl->tls = true;
    } else {
        m_impl->server = std::make_unique<httplib::Server>();
    }
    m_impl->routes();
    m_impl->server->set_tcp_nodelay(true); // no delayed-ACK stalls on reused connections
    // Bound and listening from here on, so requests queue until the thread accepts them.
    m_impl->port = m_impl->server->bind_to_any_port("127.0.0.1");
    if (m_impl->port <= 0)
        throw std::runtime_error("test server could not bind");
    m_impl->thread = std::thread([this] { m_impl->server->listen_after_bind(); });
    // stop() only reaches a server that runs: wait for that, so a short test cannot end
    // before the accept loop starts and leave it waiting forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_impl->server->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer()
{
    releaseSlow();
    m_impl->server->stop();
    m_impl->thread.join();
}

int TestServer::port() const
{
    return m_impl->port;
}

std::string TestServer::base() const
{
    return std::string(m_impl->tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_impl->port);
}

std::vector<SeenRequest> TestServer::requests() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->seen;
}

std::optional<SeenRequest> TestServer::lastRequest() const
{
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->seen.empty())
        return std::nullopt;
    return m_impl->seen.back();
}

void TestServer::releaseSlow()
{
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->slowReleased = true;
    }
    m_impl->slowCv.notify_all();
}

std::string TestServer::certificatePath()
{
    return std::string(SORVANE_WEB_TEST_DATA) + "/selfsigned-cert.pem";
}

RawPort::RawPort(bool listening)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0
        || (listening && ::listen(m_fd, 4) != 0))
        throw std::runtime_error("raw port could not be set up");
    m_port = ntohs(addr.sin_port);
}

RawPort::~RawPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RawPort::connectionPending() const
{
    pollfd p { m_fd, POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

} // namespace sorvane::web::test
