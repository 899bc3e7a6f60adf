// The cost of an MPEG analysis: the real vcdxminfo run against the reuse of
// the stored description, and the parser on a long film's description.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "lib/console_runner.h"
#include "model/mpeg_file.h"
#include "vcdimager/analysis_store.h"
#include "vcdimager/mpeg_analysis_parser.h"

namespace {

namespace fs = std::filesystem;

// A 90-minute film: one access point every half second.
TStringList LongFilmDescription() {
    TStringList lines = {"<mpeg-info src=\"film.mpg\">",
                         "  <mpeg-properties>",
                         "    <version>1</version>",
                         "    <playing-time>5400.000000</playing-time>",
                         "    <video-stream index=\"0\">",
                         "      <horizontal-size>352</horizontal-size>",
                         "      <frame-rate>25.000000</frame-rate>",
                         "      <aps-list>"};
    for (int i = 0; i < 10800; ++i)
        lines.push_back("        <aps packet-no=\"" + std::to_string(i * 40) + "\">" + std::to_string(i / 2) +
                        (i % 2 ? ".500000" : ".000000") + "</aps>");
    lines.insert(lines.end(), {"      </aps-list>", "    </video-stream>", "  </mpeg-properties>", "</mpeg-info>"});
    return lines;
}

// A 64 KiB stand-in for the film's file: only its size and head are read.
std::string FilmFile(const fs::path& folder) {
    const std::string path = (folder / "film.mpg").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(65536, 'f');
    return path;
}

fs::path BenchFolder() {
    const fs::path folder = fs::temp_directory_path() / "lumora_analysis_bench";
    fs::create_directories(folder);
    return folder;
}

void BM_ParseLongFilm(benchmark::State& state) {
    const std::string path = FilmFile(BenchFolder());
    const TStringList description = LongFilmDescription();
    for (auto _ : state) {
        TMpegFile file(path, true);
        TStringList lines = description;
        benchmark::DoNotOptimize(ParseMpegAnalysis(&file, &lines));
    }
}
BENCHMARK(BM_ParseLongFilm)->Unit(benchmark::kMillisecond);

void BM_ReuseStoredLongFilm(benchmark::State& state) {
    const std::string path = FilmFile(BenchFolder());
    const TMpegFile described(path, true);
    if (!SaveMpegAnalysis(described, LongFilmDescription(), false)) state.SkipWithError("cannot store");
    for (auto _ : state) {
        TMpegFile file(path, true);
        benchmark::DoNotOptimize(LoadMpegAnalysis(file, false));
    }
}
BENCHMARK(BM_ReuseStoredLongFilm)->Unit(benchmark::kMillisecond);

// Set LUMORA_FIXTURES to the build's fixtures folder to include the tool.
void BM_RunVcdxminfoOnFixture(benchmark::State& state) {
    const char* fixtures = std::getenv("LUMORA_FIXTURES");
    const fs::path movie = fs::path(fixtures ? fixtures : "") / "pal_vcd_1.mpg";
    if (!fixtures || !fs::exists(movie)) {
        state.SkipWithError("LUMORA_FIXTURES not set");
        return;
    }
    for (auto _ : state) {
        std::vector<std::string> lines;
        benchmark::DoNotOptimize(
            CaptureConsoleOutput("vcdxminfo", "-v -i -p --gui -a \"" + movie.string() + "\"", &lines));
    }
}
BENCHMARK(BM_RunVcdxminfoOnFixture)->Unit(benchmark::kMillisecond);

void BM_ReuseStoredFixture(benchmark::State& state) {
    const char* fixtures = std::getenv("LUMORA_FIXTURES");
    const fs::path source = fs::path(fixtures ? fixtures : "") / "pal_vcd_1.mpg";
    if (!fixtures || !fs::exists(source)) {
        state.SkipWithError("LUMORA_FIXTURES not set");
        return;
    }
    const fs::path movie = BenchFolder() / "pal_vcd_1.mpg";
    fs::copy_file(source, movie, fs::copy_options::overwrite_existing);
    std::vector<std::string> lines;
    CaptureConsoleOutput("vcdxminfo", "-v -i -p --gui -a \"" + movie.string() + "\"", &lines);
    const TMpegFile described(movie.string(), true);
    SaveMpegAnalysis(described, lines, false);
    for (auto _ : state) {
        TMpegFile file(movie.string(), true);
        auto stored = LoadMpegAnalysis(file, false);
        if (stored) ParseMpegAnalysis(&file, &*stored);
        benchmark::DoNotOptimize(file.Analysed());
    }
}
BENCHMARK(BM_ReuseStoredFixture)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
