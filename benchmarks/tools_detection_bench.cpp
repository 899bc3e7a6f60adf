// How long the start-up detection of the real tools on PATH takes: it runs
// three version queries before any window exists.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "environment/tools_detection.h"

namespace {

void BM_DetectRealTools(benchmark::State& state) {
    // An empty program folder: every tool comes from PATH.
    const std::filesystem::path program = std::filesystem::temp_directory_path() / "lumora-detection-bench";
    std::filesystem::create_directories(program);
    TDetectionOptions options;
    options.ProgramFolder = program.string();
    TDetectedTools tools;
    for (auto _ : state) {
        if (!DetectTools(options, tools)) {
            state.SkipWithError("VCDImager not found on PATH");
            break;
        }
        benchmark::DoNotOptimize(tools.CdrdaoVersionCode);
    }
    std::filesystem::remove_all(program);
}
BENCHMARK(BM_DetectRealTools)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
