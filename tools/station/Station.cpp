#include "station/Station.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "station/Replies.h"

namespace sorvane::station {

namespace {

constexpr size_t kMaxLog = 10000;
constexpr std::string_view kJson = "application/json; charset=utf-8";
constexpr std::string_view kHtml = "text/html; charset=utf-8";
constexpr std::string_view kText = "text/plain; charset=utf-8";

struct Reply
{
    int status = 200;
    std::string body;
    std::string contentType;
};

Reply json(std::string body)
{
    return { 200, std::move(body), std::string(kJson) };
}
Reply html(std::string body)
{
    return { 200, std::move(body), std::string(kHtml) };
}
Reply notFound()
{
    return { 404, "<html><body><h1>404 Not Found</h1></body></html>\n", std::string(kHtml) };
}

std::optional<int> parseInt(const std::string &text, int low, int high)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high)
        return std::nullopt;
    return static_cast<int>(v);
}

// Closes our end of the connection a request came in on (remotePort), or of every
// connection to the station (remotePort -1), so the client gets nothing more.
// cpp-httplib hands handlers no socket, so sockets are found among the process's
// descriptors by their ports. Returns how many were closed.
int shutDownConnections(int localPort, int remotePort)
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        return 0;
    int closed = 0;
    while (const dirent *entry = readdir(dir)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || end == entry->d_name)
            continue;
        sockaddr_in local {}, peer {};
        socklen_t length = sizeof local;
        if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr *>(&local), &length) != 0
            || local.sin_family != AF_INET || ntohs(local.sin_port) != localPort)
            continue;
        length = sizeof peer;
        if (getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr *>(&peer), &length) != 0
            || (remotePort >= 0 && ntohs(peer.sin_port) != remotePort))
            continue;
        ::shutdown(static_cast<int>(fd), SHUT_RDWR);
        ++closed;
        if (remotePort >= 0)
            break;
    }
    closedir(dir);
    return closed;
}

std::string garbage(size_t length, uint64_t seed)
{
    // Junk that looks like nothing the client reads: control bytes, broken UTF-8,
    // stray quotes and brackets.
    std::string out(length, '\0');
    uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (auto &c : out) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        c = static_cast<char>(x & 0xFF);
    }
    return out;
}

} // namespace

std::string RequestRecord::line() const
{
    std::string out = method + " " + target + " " + std::to_string(status);
    if (!fault.empty())
        out += " [" + fault + "]";
    return out;
}

struct Station::Impl
{
    Catalogue catalogue;
    StationOptions options;
    httplib::Server server;
    std::thread thread;
    std::atomic<int> port { 0 };
    std::atomic<int> delayMs { 0 };
    FaultList faults;

    std::mutex mutex; // guards what follows
    std::condition_variable wake;
    bool stopping = false;
    std::map<std::string, size_t> rotation;
    std::deque<RequestRecord> log;
    uint64_t served = 0;

    Impl(Catalogue c, StationOptions o)
        : catalogue(std::move(c))
        , options(std::move(o))
    {
        delayMs = static_cast<int>(options.delay.count());
        server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) { handle(req, res); });
        // Headers and body go out in separate writes; without this each reply waits for
        // the client's delayed acknowledgement (about 40 ms on loopback).
        server.set_tcp_nodelay(true);
        // cpp-httplib's default adds SO_REUSEPORT, which lets a second station share a
        // port that is in use instead of failing.
        server.set_socket_options([](socket_t sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
    }

    std::string base() const { return "http://127.0.0.1:" + std::to_string(port.load()); }

    // Waits unless the station stops first; false when it does.
    bool sleep(int ms)
    {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }

    std::vector<const Song *> nextSongs(const std::string &channel)
    {
        const auto &songs = catalogue.songs();
        const size_t n = songs.size();
        std::lock_guard lock(mutex);
        auto [it, fresh] = rotation.try_emplace(channel, 0);
        if (fresh) {
            if (auto id = parseInt(channel, -999999999, 999999999))
                it->second = static_cast<size_t>(std::abs(*id)) % n;
        }
        const size_t first = it->second;
        it->second = (first + 1) % n;
        std::vector<const Song *> out { &songs[first] };
        if (n > 1)
            out.push_back(&songs[(first + 1) % n]);
        return out;
    }

    Reply route(const httplib::Request &req)
    {
        const std::string &path = req.path;
        if (path == "/j/v2/channel_info")
            return json(channelInfoReply(req.get_param_value("id"), base()));
        if (path == "/j/v2/playlist") {
            if (!req.has_param("channel"))
                return { 400, R"({"r":1,"err":"missing channel"})", std::string(kJson) };
            const auto songs = nextSongs(req.get_param_value("channel"));
            return json(playlistReply(songs, base()));
        }
        if (path == "/j/v2/lyric") {
            const Song *song = catalogue.findSid(req.get_param_value("sid"));
            if (!song || song->ssid != req.get_param_value("ssid"))
                return { 200, std::string(kNoLyricReply), std::string(kText) };
            return json(lyricReply(*song));
        }
        if (path.starts_with("/j/v2/song/")) {
            // /j/v2/song/<sid>g<ssid>/
            std::string_view id = std::string_view(path).substr(11);
            if (id.ends_with('/'))
                id.remove_suffix(1);
            const auto g = id.find('g');
            const Song *song = g == std::string_view::npos ? nullptr : catalogue.findSid(id.substr(0, g));
            if (!song || song->ssid != id.substr(g + 1))
                return { 404, R"({"r":1,"err":"song not found"})", std::string(kJson) };
            return json(songPageReply(*song, base()));
        }
        if (path.starts_with("/channel/"))
            return html(channelPage(path.substr(9), catalogue.findSid(req.get_param_value("start"))));
        if (path.starts_with("/audio/") || path.starts_with("/cover/")) {
            const bool audio = path[1] == 'a';
            const std::string_view name = std::string_view(path).substr(7);
            const auto dot = name.rfind('.');
            const Song *song
                = dot == std::string_view::npos ? nullptr : catalogue.findSid(name.substr(0, dot));
            if (!song)
                return notFound();
            const std::string &ext = audio ? song->audioExt : song->coverExt;
            const std::string &bytes = audio ? song->audio : song->cover;
            if (bytes.empty() || name.substr(dot + 1) != ext)
                return notFound();
            return { 200, bytes, contentTypeOf(ext) };
        }
        if (path.starts_with("/music/")) {
            std::string album = path.substr(6);
            auto songs = catalogue.albumSongs(album);
            if (songs.empty() && !album.ends_with('/'))
                songs = catalogue.albumSongs(album + "/");
            if (songs.empty() || !album.starts_with("/subject/"))
                return notFound();
            return html(albumPage(songs, base()));
        }
        if (path == "/")
            return { 200, "sorvane station\n", std::string(kText) };
        return notFound();
    }

    Reply control(const httplib::Request &req)
    {
        const std::string &path = req.path;
        if (path == "/_station/fault") {
            Fault fault;
            fault.pathPrefix = req.get_param_value("path");
            const auto kind = faultKindFromName(req.get_param_value("kind"));
            if (!kind)
                return { 400, "kind must be delay, status, drop, truncate or garbage\n", std::string(kText) };
            fault.kind = *kind;
            if (req.has_param("value")) {
                const auto value = parseInt(req.get_param_value("value"), 0, 600000);
                if (!value)
                    return { 400, "value must be a number from 0 to 600000\n", std::string(kText) };
                fault.value = *value;
            }
            if (fault.kind == FaultKind::Status && fault.value != 0
                && (fault.value < 100 || fault.value > 599))
                return { 400, "a status must lie in 100..599\n", std::string(kText) };
            if (req.has_param("count")) {
                const auto count = parseInt(req.get_param_value("count"), 1, 1000000);
                if (!count)
                    return { 400, "count must be a number from 1 on\n", std::string(kText) };
                fault.count = *count;
            }
            faults.add(std::move(fault));
            return { 200, "ok\n", std::string(kText) };
        }
        if (path == "/_station/delay") {
            const auto ms = parseInt(req.get_param_value("ms"), 0, 600000);
            if (!ms)
                return { 400, "ms must be a number from 0 to 600000\n", std::string(kText) };
            delayMs = *ms;
            return { 200, "ok\n", std::string(kText) };
        }
        if (path == "/_station/reset") {
            reset();
            return { 200, "ok\n", std::string(kText) };
        }
        if (path == "/_station/log") {
            std::string out;
            std::lock_guard lock(mutex);
            for (const auto &record : log)
                out += record.line() + "\n";
            return { 200, std::move(out), std::string(kText) };
        }
        return notFound();
    }

    void reset()
    {
        faults.clear();
        std::lock_guard lock(mutex);
        rotation.clear();
        log.clear();
    }

    void record(RequestRecord entry)
    {
        {
            std::lock_guard lock(mutex);
            log.push_back(entry);
            if (log.size() > kMaxLog)
                log.pop_front();
        }
        if (options.onRequest)
            options.onRequest(entry);
    }

    void handle(const httplib::Request &req, httplib::Response &res)
    {
        if (req.path.starts_with("/_station/")) {
            Reply reply = control(req);
            res.status = reply.status;
            res.set_content(std::move(reply.body), reply.contentType.c_str());
            return;
        }

        RequestRecord entry { req.method, req.target, 0, {} };
        const FaultPlan plan = faults.take(req.path);
        uint64_t number;
        {
            std::lock_guard lock(mutex);
            number = ++served;
        }
        if (!sleep(delayMs.load() + plan.delayMs)) {
            // Stopping: hang up rather than hold the server's shutdown.
            shutDownConnections(req.local_port, req.remote_port);
            entry.fault = "stopped";
            record(std::move(entry));
            return;
        }
        if (plan.delayMs > 0)
            entry.fault = "delay";

        Reply reply = route(req);
        if (plan.action) {
            const Fault &fault = *plan.action;
            entry.fault = std::string(faultKindName(fault.kind));
            switch (fault.kind) {
            case FaultKind::Delay:
                break;
            case FaultKind::Status:
                reply.status = fault.value ? fault.value : 500;
                reply.body = "<html><body><h1>" + std::to_string(reply.status) + "</h1></body></html>\n";
                reply.contentType = std::string(kHtml);
                break;
            case FaultKind::Drop:
                if (shutDownConnections(req.local_port, req.remote_port) > 0) {
                    res.status = 200;
                    record(std::move(entry));
                    return;
                }
                // Not found (cannot happen on Linux): end the reply after its headers.
                [[fallthrough]];
            case FaultKind::Truncate: {
                auto body = std::make_shared<const std::string>(std::move(reply.body));
                const size_t keep = fault.kind == FaultKind::Drop ? 0
                    : fault.value > 0 ? std::min<size_t>(fault.value, body->size() > 0 ? body->size() - 1 : 0)
                                      : body->size() / 2;
                res.status = reply.status;
                res.set_content_provider(body->size(), reply.contentType.c_str(),
                    [body, keep](size_t offset, size_t length, httplib::DataSink &sink) {
                        if (offset >= keep)
                            return false; // closes the connection
                        sink.write(body->data() + offset, std::min(length, keep - offset));
                        return true;
                    });
                entry.status = reply.status;
                record(std::move(entry));
                return;
            }
            case FaultKind::Garbage:
                reply.status = 200;
                reply.body = garbage(fault.value > 0 ? static_cast<size_t>(fault.value) : 512, number);
                break;
            }
        }
        // A plain 200 is left to cpp-httplib, which turns it into 206 for a range.
        if (reply.status != 200)
            res.status = reply.status;
        entry.status = reply.status == 200 && !req.ranges.empty() ? 206 : reply.status;
        res.set_content(std::move(reply.body), reply.contentType.c_str());
        record(std::move(entry));
    }
};

Station::Station(Catalogue catalogue, StationOptions options)
    : m_impl(std::make_unique<Impl>(std::move(catalogue), std::move(options)))
{
}

Station::~Station()
{
    stop();
}

bool Station::start(int port)
{
    if (m_impl->thread.joinable() || m_impl->catalogue.songs().empty())
        return false;
    // A client hanging up mid-reply must not end the process.
    ::signal(SIGPIPE, SIG_IGN);
    auto &server = m_impl->server;
    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
        if (port <= 0)
            return false;
    } else if (!server.bind_to_port("127.0.0.1", port)) {
        return false;
    }
    m_impl->port = port;
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = false;
    }
    auto listening = std::make_shared<std::atomic<bool>>(true);
    m_impl->thread = std::thread([&server, listening] {
        server.listen_after_bind();
        *listening = false;
    });
    // stop() only works on a running server, so do not return before it runs.
    while (!server.is_running() && *listening)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!*listening) {
        m_impl->thread.join();
        return false;
    }
    return true;
}

void Station::stop()
{
    if (!m_impl->thread.joinable())
        return;
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = true;
    }
    m_impl->wake.notify_all();
    m_impl->server.stop();
    // Idle kept-alive connections would otherwise hold the server's threads until
    // their keep-alive time-out ends.
    shutDownConnections(m_impl->port, -1);
    m_impl->thread.join();
}

int Station::port() const
{
    return m_impl->port;
}

std::string Station::baseUrl() const
{
    return m_impl->base();
}

std::string Station::musicBaseUrl() const
{
    return m_impl->base() + "/music";
}

void Station::addFault(Fault fault)
{
    m_impl->faults.add(std::move(fault));
}

void Station::clearFaults()
{
    m_impl->faults.clear();
}

void Station::setDelay(std::chrono::milliseconds delay)
{
    m_impl->delayMs = static_cast<int>(delay.count());
}

void Station::reset()
{
    m_impl->reset();
}

std::vector<RequestRecord> Station::requests() const
{
    std::lock_guard lock(m_impl->mutex);
    return { m_impl->log.begin(), m_impl->log.end() };
}

size_t Station::arrivals() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->served;
}

} // namespace sorvane::station
