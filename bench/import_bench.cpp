// Times the engine's import without a window: the header checks, then every part the window
// shows, and the one part each listing command of dotlane-cli asks for.
#include <benchmark/benchmark.h>

#include "pictures/bmp_writer.h"
#include "pictures/import.h"

using namespace dotlane;

static std::vector<std::uint8_t> checkerboard_bmp(int width, int height) {
    Bitmap black(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            black.bits[std::size_t(y) * width + x] = (x / 3 + y / 5) % 2;
    return encode_mono_bmp(black);
}

static void BM_Import(benchmark::State& bench, int side, unsigned parts) {
    const std::vector<std::uint8_t> bytes = checkerboard_bmp(side, side);
    for (auto _ : bench) {
        const LoadedFile file = check_bmp_bytes(bytes);
        const ImportResult r = import_bmp(file, {}, parts);
        const std::string text = parts & kSed1565Part
                                     ? sed1565_listing(r.sed1565)
                                     : t6963c_listing(r.t6963c, file.header.geometry);
        benchmark::DoNotOptimize(text.data());
    }
    bench.SetItemsProcessed(bench.iterations() * std::int64_t(side) * side);
}

BENCHMARK_CAPTURE(BM_Import, window_128x64, 128, kAllParts)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Import, window_496x496, 496, kAllParts)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Import, t6963c_496x496, 496, kT6963cPart)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Import, sed1565_496x496, 496, kSed1565Part)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
