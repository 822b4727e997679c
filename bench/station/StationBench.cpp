#include <benchmark/benchmark.h>
#include <httplib.h>

#include "station/Station.h"

using namespace sorvane::station;

namespace {

Catalogue demo()
{
    std::string error;
    auto catalogue = Catalogue::load(demoCatalogueDir(), error);
    if (!catalogue)
        throw std::runtime_error(error);
    return std::move(*catalogue);
}

// One playlist request, on a kept-alive connection or on a new one each time.
void BM_Playlist(benchmark::State &state)
{
    Station station(demo());
    station.start();
    httplib::Client client("127.0.0.1", station.port());
    client.set_keep_alive(state.range(0) != 0);
    for (auto _ : state) {
        auto res = client.Get("/j/v2/playlist?channel=-10&kbps=128&type=n");
        if (!res || res->status != 200)
            state.SkipWithError("request failed");
    }
}
BENCHMARK(BM_Playlist)->Arg(0)->Arg(1)->ArgName("keepalive");

// A whole demo song (about 360 KB).
void BM_Audio(benchmark::State &state)
{
    Station station(demo());
    station.start();
    httplib::Client client("127.0.0.1", station.port());
    int64_t bytes = 0;
    for (auto _ : state) {
        auto res = client.Get("/audio/1001.mp3");
        if (!res || res->status != 200)
            state.SkipWithError("request failed");
        else
            bytes += static_cast<int64_t>(res->body.size());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Audio);

} // namespace
