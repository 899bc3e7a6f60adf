// How fast a write command turns cdrdao's lines into status lines: the
// transcript of a 700 MB burn (a progress line per MB between the banner and
// the closing lines), through the whole filter and hand-over.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cdrdao/command_cd_write.h"

namespace {

std::vector<std::string> WriteTranscript() {
    std::vector<std::string> lines = {
        "Cdrdao version 1.2.4 - (C) Andreas Mueller <andreas@daneb.de>",
        "/dev/sr0: HL-DT-ST DVDRAM GH24NSD1       Rev: LG00",
        "Using driver: Generic SCSI-3/MMC - Version 2.0 (options 0x0000)",
        "",
        "Starting write at speed 4...",
        "Process can be aborted with QUIT signal (usually CTRL-\\).",
        "Turning BURN-Proof on",
        "Writing track 01 (mode MODE2_RAW/MODE2_RAW)...",
    };
    for (int mb = 1; mb <= 700; ++mb)
        lines.push_back("Wrote " + std::to_string(mb) + " of 700 MB (Buffers 100%  " + std::to_string(90 + mb % 10) +
                        "%).");
    for (const char* line : {"Wrote 359849 blocks. Buffer fill min 90%/max 100%.", "Writing lead-out...",
                             "Wrote 15 of 15 MB.", "Flushing cache...", "Writing finished successfully."})
        lines.push_back(line);
    return lines;
}

void BM_CdWriteFilter(benchmark::State& state) {
    const std::vector<std::string> lines = WriteTranscript();
    long long delivered = 0;
    auto info = std::make_shared<TCdWriteInfo>();
    info->VersionCode = 3;
    info->ImagePath = "/work/disc/videocd.cue";
    TCommandSetup setup;
    setup.Param = info;
    setup.OnOutput = [&](TCommandInterface&, const std::string&) { ++delivered; };
    TCommandCdWrite command(std::move(setup), std::make_shared<TCdrDaoSettings>());
    for (auto _ : state) {
        command.FilterState = {};
        command.Status.Reset();
        for (const std::string& line : lines) command.EmitLine(line);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(lines.size()));
    state.counters["delivered"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CdWriteFilter);

}  // namespace

BENCHMARK_MAIN();
