// The project model at the disc limits: 1,980 stills and 98 motion videos
// with 500 entry points in total, and the navigation refresh over them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "model/mpeg_files.h"

namespace {

constexpr int Stills = 1980;
constexpr int MotionVideos = 98;
constexpr int EntryPoints = 500;

// Adds `motionVideos` videos with `entryPoints` entries in total (the starts
// included) and `stills` stills. A bulk add suspends the refresh and runs it
// once at the end, as a project load does.
void FillProject(TMpegFiles& files, int stills, int motionVideos, int entryPoints, bool suspended) {
    auto add = [&] {
        const int chapters = entryPoints - motionVideos;
        for (int v = 0; v < motionVideos; ++v) {
            TMpegFile* file =
                files.Add(std::make_unique<TMpegFile>("/bench/video-" + std::to_string(v) + ".mpg", true));
            const int own = chapters / motionVideos + (v < chapters % motionVideos ? 1 : 0);
            for (int c = 1; c <= own; ++c) file->AddEntryPoint(MsToTimeText(c * 60000), true);
        }
        for (int s = 0; s < stills; ++s)
            files.Add(std::make_unique<TMpegFile>("/bench/still-" + std::to_string(s) + ".mpg", false));
    };
    if (suspended) {
        TNavigationUpdateScope bulk;
        add();
    } else {
        add();
    }
}

// Building the whole project, then the refresh, then freeing it all; the
// argument scales the number of files to show that the cost stays linear.
void BM_BuildProject(benchmark::State& state) {
    const auto scale = static_cast<double>(state.range(0)) / 4.0;
    const int stills = static_cast<int>(Stills * scale);
    const int videos = static_cast<int>(MotionVideos * scale);
    const int entries = static_cast<int>(EntryPoints * scale);
    for (auto _ : state) {
        TMpegFiles files;
        files.SetNbMaxFiles(-1);
        TNavigationRegistration registration(files);
        FillProject(files, stills, videos, entries, true);
        RequestNavigationRefresh(nullptr, true);
        benchmark::DoNotOptimize(files.Get(0)->EntryPoints().SelectionAt(0)->NextTarget());
    }
    state.SetComplexityN(stills + videos);
}
BENCHMARK(BM_BuildProject)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Complexity();

// The navigation refresh alone over a project at the disc limits.
void BM_NavigationRefresh(benchmark::State& state) {
    TMpegFiles files;
    files.SetNbMaxFiles(-1);
    TNavigationRegistration registration(files);
    FillProject(files, Stills, MotionVideos, EntryPoints, true);
    for (auto _ : state) RequestNavigationRefresh(nullptr, true);
}
BENCHMARK(BM_NavigationRefresh)->Unit(benchmark::kMicrosecond);

// Adding file by file without suspending the refresh, as single adds do:
// every add refreshes the whole project.
void BM_BuildProjectFileByFile(benchmark::State& state) {
    for (auto _ : state) {
        TMpegFiles files;
        files.SetNbMaxFiles(-1);
        TNavigationRegistration registration(files);
        FillProject(files, Stills, MotionVideos, EntryPoints, false);
    }
}
BENCHMARK(BM_BuildProjectFileByFile)->Unit(benchmark::kMillisecond);

// Freeing a project at the disc limits: every selection drops the references
// to itself.
void BM_ClearProject(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TMpegFiles files;
        files.SetNbMaxFiles(-1);
        TNavigationRegistration registration(files);
        FillProject(files, Stills, MotionVideos, EntryPoints, true);
        RequestNavigationRefresh(nullptr, true);
        state.ResumeTiming();
        files.Clear();
    }
}
BENCHMARK(BM_ClearProject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
