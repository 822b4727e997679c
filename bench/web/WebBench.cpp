// Costs of the web layer on loopback: what a synchronous service request adds to the
// GUI thread's wait, and what merging a cookie-heavy reply costs.
#include "web/CookieStore.h"
#include "web/CurlGlobal.h"
#include "web/Download.h"
#include "web/HttpRequest.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

const sorvane::web::CurlGlobal curlGlobal;

// A small JSON-like reply, as a playlist request gets.
class LocalServer
{
public:
    LocalServer()
    {
        const std::string reply(4096, 'x');
        m_server.Get(".*", [reply](const httplib::Request &, httplib::Response &res) {
            res.set_content(reply, "application/json; charset=utf-8");
        });
        // Without it the server's separate header and body writes meet delayed ACKs on a
        // reused connection, and every request takes some 40 ms of nothing.
        m_server.set_tcp_nodelay(true);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LocalServer()
    {
        m_server.stop();
        m_thread.join();
    }
    std::string url(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

void BM_ServiceRequest(benchmark::State &state)
{
    LocalServer server;
    sorvane::web::HttpRequest request;
    const std::string url = server.url("/j/v2/playlist");
    for (auto _ : state) {
        request.open(url);
        request.send();
        benchmark::DoNotOptimize(request.responseText());
    }
}
BENCHMARK(BM_ServiceRequest)->Unit(benchmark::kMicrosecond);

void BM_Download(benchmark::State &state)
{
    LocalServer server;
    const std::string url = server.url("/cover.jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(sorvane::web::download(url));
}
BENCHMARK(BM_Download)->Unit(benchmark::kMicrosecond);

// A reply with range(0) cookies, merged into an empty store and again into the full one.
// 14000 lines is about the most a reply can carry under kMaxHeaderBytes.
void BM_MergeCookies(benchmark::State &state)
{
    std::string headers = "Content-Type: text/html\r\n";
    for (int i = 0; i < state.range(0); ++i)
        headers += "Set-Cookie: c" + std::to_string(i) + "=v; path=/\r\n";
    for (auto _ : state) {
        sorvane::web::CookieStore store;
        store.merge(headers);
        store.merge(headers);
        benchmark::DoNotOptimize(store.text());
    }
}
BENCHMARK(BM_MergeCookies)->Arg(40)->Arg(14000)->Unit(benchmark::kMicrosecond);

} // namespace
