// One redraw of the desktop lyrics as the playback tick causes it (at most twice a
// second): the whole 1920 × 150 frame drawn afresh, and the window shape taken from it.
#include "lyrics/ui/LyricsRenderer.h"
#include "lyrics/ui/LyricsWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "lyrics_ui_bench";
    static char *argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication instance(argc, argv);
    return instance;
}

const QSize kFrame(1920, 150);

void BM_RenderLine(benchmark::State &state)
{
    app();
    sorvane::lyrics::LyricsRenderer renderer;
    renderer.setText(QStringLiteral("我们都是追梦人 千山万水 奔向天地跑道"));
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.render(kFrame));
}
BENCHMARK(BM_RenderLine)->Unit(benchmark::kMillisecond);

void BM_WindowShape(benchmark::State &state)
{
    app();
    sorvane::lyrics::LyricsRenderer renderer;
    renderer.setText(QStringLiteral("我们都是追梦人 千山万水 奔向天地跑道"));
    const QImage frame = renderer.render(kFrame);
    for (auto _ : state)
        benchmark::DoNotOptimize(sorvane::lyrics::LyricsWindow::visibleRegion(frame));
}
BENCHMARK(BM_WindowShape)->Unit(benchmark::kMillisecond);

} // namespace
