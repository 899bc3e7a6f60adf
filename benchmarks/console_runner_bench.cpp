// How fast the console runner brings a tool's output to the main thread:
// the delay from a child's write to the delivered line, and the line rate of
// the runner next to reading the same output straight from a pipe.
//
// LUMORA_BENCH_MB sets the size of the throughput file (default 300).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lib/console_runner.h"
#include "services/services.h"

namespace {

using namespace std::chrono_literals;

long long RealTimeNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// A file of numbered lines of tool-like length, made once per run.
struct TLinesFile {
    std::string Path;
    long long Bytes = 0;
    long long Lines = 0;

    TLinesFile() {
        const char* megabytes = std::getenv("LUMORA_BENCH_MB");
        const long long limit = (megabytes ? std::atoll(megabytes) : 300) * 1024 * 1024;
        Path =
            (std::filesystem::temp_directory_path() / ("lumora-bench-" + std::to_string(getpid()) + ".txt")).string();
        std::ofstream out(Path, std::ios::binary);
        std::string line;
        while (Bytes < limit) {
            line = "INFO: scanning packet " + std::to_string(Lines) + " of the MPEG stream, offset " +
                   std::to_string(Bytes) + "\n";
            out << line;
            Bytes += static_cast<long long>(line.size());
            ++Lines;
        }
    }
    ~TLinesFile() { std::filesystem::remove(Path); }
};

const TLinesFile& LinesFile() {
    static TLinesFile file;
    return file;
}

void ConfigureAsToolCommand(TGUI2Console& runner, TBufferSize bufferSize) {
    runner.PipeSize = TPipeSize::ps256k;
    runner.BufferSize = bufferSize;
    runner.TimeOutDelay = 50;
}

void BM_WriteToLineLatency(benchmark::State& state) {
    TLoopMainThread loop;
    TServicesScope scope(&loop, nullptr);
    std::vector<double> latencies;
    for (auto _ : state) {
        TGUI2Console runner;
        ConfigureAsToolCommand(runner, TBufferSize::bs256);
        bool done = false;
        runner.OnLine = [&](TGUI2Console&, const std::string& line) {
            latencies.push_back(static_cast<double>(RealTimeNanoseconds() - std::atoll(line.c_str())) / 1000.0);
        };
        runner.OnDone = [&](TGUI2Console&, std::uint32_t) { done = true; };
        // One timestamp per line, written by a separate `date` each time, 5 ms apart.
        runner.Command = "sh -c 'i=0; while [ $i -lt 200 ]; do date +%s%N; sleep 0.005; i=$((i+1)); done'";
        runner.Start();
        loop.RunUntil([&] { return done; }, 60s);
    }
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        state.counters["median_us"] = latencies[latencies.size() / 2];
        state.counters["p95_us"] = latencies[latencies.size() * 95 / 100];
        state.counters["samples"] = static_cast<double>(latencies.size());
    }
}
BENCHMARK(BM_WriteToLineLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RunnerLines(benchmark::State& state) {
    const TLinesFile& file = LinesFile();
    TLoopMainThread loop;
    TServicesScope scope(&loop, nullptr);
    long long lines = 0;
    for (auto _ : state) {
        TGUI2Console runner;
        ConfigureAsToolCommand(runner, static_cast<TBufferSize>(state.range(0)));
        bool done = false;
        runner.OnLine = [&](TGUI2Console&, const std::string& line) {
            benchmark::DoNotOptimize(line.data());
            ++lines;
        };
        runner.OnDone = [&](TGUI2Console&, std::uint32_t) { done = true; };
        runner.Command = "cat \"" + file.Path + "\"";
        runner.Start();
        loop.RunUntil([&] { return done; }, 600s);
    }
    if (lines != file.Lines * static_cast<long long>(state.iterations())) state.SkipWithError("lines were lost");
    state.SetBytesProcessed(file.Bytes * static_cast<long long>(state.iterations()));
    state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunnerLines)
    ->Arg(static_cast<int>(TBufferSize::bs256))
    ->Arg(static_cast<int>(TBufferSize::bs8k))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor: `cat` into a pipe, read in 64 KiB blocks, newlines counted.
void BM_CatIntoPipe(benchmark::State& state) {
    const TLinesFile& file = LinesFile();
    long long lines = 0;
    for (auto _ : state) {
        FILE* pipe = popen(("cat \"" + file.Path + "\"").c_str(), "r");
        std::vector<char> buffer(65536);
        ssize_t got = 0;
        while ((got = read(fileno(pipe), buffer.data(), buffer.size())) > 0)
            lines += std::count(buffer.data(), buffer.data() + got, '\n');
        pclose(pipe);
    }
    state.SetBytesProcessed(file.Bytes * static_cast<long long>(state.iterations()));
    state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CatIntoPipe)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
