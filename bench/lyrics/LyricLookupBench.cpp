// The lyric line is searched afresh in the whole reply on every playback tick.
#include "lyrics/LyricLookup.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace sorvane;

namespace {

// A lyric reply of about 6 KB: Chinese lines with one tag each, the size of a long song.
std::string lyricReply()
{
    const std::string words = text::utf8ToGb("我们一起走过的路，风吹过山岗，嘯叫");
    std::string lyric;
    int line = 0;
    while (lyric.size() < 6000) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", line * 3 / 60, line * 3 % 60, line % 100);
        lyric += tag + words + "\\r\\n";
        ++line;
    }
    return R"({"lyric":")" + lyric + R"(","name":"Song","sid":"1234567"})";
}

void BM_FindLyricLine(benchmark::State &state, const char *position)
{
    const std::string reply = lyricReply();
    for (auto _ : state)
        benchmark::DoNotOptimize(lyrics::findLyricLine(reply, position));
    state.counters["reply_bytes"] = static_cast<double>(reply.size());
}

void BM_Tick(benchmark::State &state)
{
    const lyrics::LyricLookup lookup(lyricReply());
    for (auto _ : state)
        benchmark::DoNotOptimize(lookup.tick("02:00"));
}

} // namespace

BENCHMARK_CAPTURE(BM_FindLyricLine, found, "02:00")->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_FindLyricLine, notFound, "59:59")->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Tick)->Repetitions(5)->ReportAggregatesOnly(true);
