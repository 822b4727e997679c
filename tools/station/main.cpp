// sorvane-station: serves a catalogue as the radio service and its music site on
// 127.0.0.1 until SIGINT or SIGTERM.
//
// The only line on stdout is "listening on http://127.0.0.1:PORT" once it serves;
// one line per request goes to stderr unless --quiet.

#include <signal.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "station/Catalogue.h"
#include "station/Station.h"

namespace {

constexpr const char *kUsage
    = "usage: sorvane-station [--port N] [--catalogue DIR] [--delay-ms N] [--quiet] [--exit-with-parent]\n"
      "  --port N            port on 127.0.0.1; 0 (the default) takes a free one\n"
      "  --catalogue DIR     folder with catalogue.ini (default: the demo catalogue)\n"
      "  --delay-ms N        wait N ms before every reply\n"
      "  --quiet             do not log requests on stderr\n"
      "  --exit-with-parent  stop when the process that started this one ends\n";

bool parseNumber(const char *text, int low, int high, int &out)
{
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace sorvane::station;
    int port = 0, delayMs = 0;
    bool quiet = false;
    std::filesystem::path catalogueDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--port" && hasValue && parseNumber(argv[i + 1], 0, 65535, port)) {
            ++i;
        } else if (arg == "--delay-ms" && hasValue && parseNumber(argv[i + 1], 0, 600000, delayMs)) {
            ++i;
        } else if (arg == "--catalogue" && hasValue) {
            catalogueDir = argv[++i];
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--exit-with-parent") {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() == 1)
                return 0; // the parent is already gone
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "sorvane-station: bad argument \"%s\"\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (catalogueDir.empty())
        catalogueDir = demoCatalogueDir();

    std::string error;
    auto catalogue = Catalogue::load(catalogueDir, error);
    if (!catalogue) {
        std::fprintf(stderr, "sorvane-station: %s\n", error.c_str());
        return 1;
    }

    // Signals are taken by sigwait below, so block them before any thread starts.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    StationOptions options;
    options.delay = std::chrono::milliseconds(delayMs);
    if (!quiet) {
        options.onRequest = [](const RequestRecord &record) {
            static std::mutex mutex;
            std::lock_guard lock(mutex);
            std::fprintf(stderr, "%s\n", record.line().c_str());
        };
    }
    Station station(std::move(*catalogue), std::move(options));
    if (!station.start(port)) {
        std::fprintf(stderr, "sorvane-station: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("listening on %s\n", station.baseUrl().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&signals, &signal);
    station.stop();
    return 0;
}
