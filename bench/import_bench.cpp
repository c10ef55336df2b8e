// Times the import logic without a window: header checks, both listings and the working copy.
#include <benchmark/benchmark.h>

#include "import/import.h"
#include "reverse/bmp_writer.h"

using namespace dotlane;

static std::vector<std::uint8_t> checkerboard_bmp(int width, int height) {
    Picture p(width, height, kWhite);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / 3 + y / 5) % 2) p.set(x, y, kBlack);
    return encode_mono_bmp(p);
}

static void BM_Import(benchmark::State& bench, int width, int height) {
    const std::vector<std::uint8_t> bytes = checkerboard_bmp(width, height);
    SharedState state;
    for (auto _ : bench) {
        const LoadedFile file = check_bmp_bytes(bytes);
        const ImportResult result =
            import_picture(file, decode_picture(file.header, file.bytes), {}, state);
        benchmark::DoNotOptimize(result.sed1565.data());
    }
    bench.SetItemsProcessed(bench.iterations() * std::int64_t(width) * height);
}

BENCHMARK_CAPTURE(BM_Import, 128x64, 128, 64)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Import, 496x496, 496, 496)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
