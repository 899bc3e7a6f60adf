// How fast the image build command turns vcdxbuild's "--gui" output into
// status lines: a mix like the tool's own (mostly progress elements, some log
// elements, the entry-point remarks), through the whole filter and hand-over.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vcdimager/command_vcdxbuild.h"

namespace {

std::vector<std::string> SampleOutput() {
    std::vector<std::string> lines;
    for (int i = 0; i < 180; ++i)
        lines.push_back("<progress operation=\"scan\" id=\"Sequence-0001-01\" position=\"" + std::to_string(i * 3848) +
                        "\" size=\"692552\" />");
    for (int i = 0; i < 10; ++i) lines.push_back("<log level=\"debug\">mpeg: some marker is not set...</log>");
    lines.push_back(
        "<log level=\"debug\">requested entry point (id=Chapter-0001-02) at 1.100000, closest possible entry point at "
        "1.210911</log>");
    lines.push_back(
        "<log level=\"debug\">requested entry point (id=Chapter-0001-03) at 1.150000, closest possible entry point at "
        "1.210911</log>");
    lines.push_back("<log level=\"information\">writing track 2, MPEG1, PAL SIF (352x288/25fps) ...</log>");
    for (int i = 0; i < 20; ++i)
        lines.push_back("<progress operation=\"write\" position=\"" + std::to_string(i * 75) + "\" size=\"1420\" />");
    lines.push_back("<log level=\"information\">finished ok, image created with 1420 sectors [00:18:70]</log>");
    return lines;
}

void BM_ImageBuildFilter(benchmark::State& state) {
    const std::vector<std::string> lines = SampleOutput();
    long long delivered = 0;
    auto param = std::make_shared<TBuildParam>();
    param->ToolsComplete = true;
    param->XmlFile = "/work/disc/videocd.xml";
    param->ImageBase = "/work/disc/image";
    auto command = BuildCdImage(param, [&](TCommandInterface&, const std::string&) { ++delivered; });
    for (auto _ : state) {
        bool proceed = true;
        command->BeforeStart(proceed);
        command->Status.Reset();
        for (const std::string& line : lines) command->EmitLine(line);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(lines.size()));
    state.counters["delivered"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ImageBuildFilter);

}  // namespace

BENCHMARK_MAIN();
