// A favourites list of 1 000 songs is read at every start and written at every close;
// both must stay well inside what a user notices (target: 10 ms each).
#include "favourites/Favourites.h"
#include "favourites/ListFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace sorvane::favourites;
using sorvane::text::utf8ToGb;

namespace {

constexpr std::size_t kRows = 1000;

ListModel favourites()
{
    ListModel list(favouriteColumns());
    const std::string title = utf8ToGb("時間都去哪兒了");
    const std::string artist = utf8ToGb("王錚亮");
    for (std::size_t r = 0; r < kRows; ++r) {
        const std::string n = std::to_string(1000000 + r);
        list.appendRow({ title + n, artist,
            "http://mr3.douban.com/201308250247/4a3de2c0fb/view/song/small/p" + n + ".mp3",
            "http://img3.douban.com/lpic/s" + n + ".jpg", n, "5c5e", "128", "/subject/" + n + "/" });
    }
    return list;
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sorvane-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

void BM_LoadListFile(benchmark::State &state)
{
    TempDir dir;
    const auto path = dir.path / kFavouritesFileName;
    if (!saveListFile(favourites(), path))
        state.SkipWithError("cannot write the list file");
    for (auto _ : state) {
        ListModel list(favouriteColumns());
        if (!loadListFile(list, path) || list.rowCount() != kRows)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_LoadListFile)->Unit(benchmark::kMillisecond);

// Saving over the file loaded at start, as at every close: read, replace in place,
// write a temporary file, flush it to disk, rename.
void BM_SaveListFile(benchmark::State &state)
{
    TempDir dir;
    const auto path = dir.path / kFavouritesFileName;
    const ListModel list = favourites();
    if (!saveListFile(list, path))
        state.SkipWithError("cannot write the list file");
    for (auto _ : state) {
        if (!saveListFile(list, path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveListFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first save, when no file exists yet.
void BM_SaveNewListFile(benchmark::State &state)
{
    TempDir dir;
    const auto path = dir.path / kFavouritesFileName;
    const ListModel list = favourites();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
        if (!saveListFile(list, path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveNewListFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same without the disk: building the document and its bytes.
void BM_WriteListDocument(benchmark::State &state)
{
    const ListModel list = favourites();
    for (auto _ : state) {
        sorvane::storage::IniFile file;
        writeListFile(list, file);
        benchmark::DoNotOptimize(file.serialize());
    }
}
BENCHMARK(BM_WriteListDocument)->Unit(benchmark::kMillisecond);

} // namespace
