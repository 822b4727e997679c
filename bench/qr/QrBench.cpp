// QR pictures as the share panel makes them, and the largest symbol.
#include "qr/Encoder.h"
#include "share/QrPicture.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace sorvane;

// 60 characters: version 4 at level M.
const std::string kLink = "https://douban.fm/channel/153?start=1548867g8eb1c0f7e2ab9d04";

// 2953 bytes: the most version 40 holds at level L.
std::string largestContent()
{
    std::string s;
    while (s.size() < 2953)
        s += static_cast<char>('a' + s.size() % 26);
    return s;
}

void BM_SharePicture(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(share::创建二维码(kLink, "M", 144, 144, 0xFFFFFF, 0x000000));
    state.counters["version"] = qr::moduleQrCode().version();
}
BENCHMARK(BM_SharePicture)->Unit(benchmark::kMicrosecond);

void BM_Version40Picture(benchmark::State &state)
{
    const std::string content = largestContent();
    for (auto _ : state)
        benchmark::DoNotOptimize(share::创建二维码(content, "L", 144, 144, 0xFFFFFF, 0x000000));
    state.counters["version"] = qr::moduleQrCode().version();
}
BENCHMARK(BM_Version40Picture)->Unit(benchmark::kMillisecond);

void BM_Version40Encode(benchmark::State &state)
{
    const std::string content = largestContent();
    const qr::EcLevel level = qr::levelRegistry().L;
    qr::二维码类 record;
    for (auto _ : state) {
        qr::编码类().编码(content, level, record);
        benchmark::DoNotOptimize(record.maskPattern());
    }
}
BENCHMARK(BM_Version40Encode)->Unit(benchmark::kMillisecond);

} // namespace
