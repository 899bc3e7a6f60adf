// Largest projects the disc allows: 98 motion videos with 500 entry points in
// all, 1980 stills, numeric keys on every selection.
#include <benchmark/benchmark.h>

#include "model/entry_points.h"
#include "model/iso_structure.h"
#include "writers/integrity_text_file.h"
#include "writers/project_file.h"
#include "writers/video_cd_xml_writer.h"

namespace {

TVideoCdDescription LargestProject() {
    TVideoCdDescription d;
    d.ProgramNameVersion = "Lumora v1.1.6";
    d.UsePBC = true;
    d.XmlComments = true;
    for (int f = 0; f < 98 + 1980; ++f) {
        TDescriptionFile file;
        file.IsStill = f >= 98;
        file.FullPath = "/media/project/file number " + std::to_string(f) + ".mpg";
        const int count = f < 4 ? 99 : 1;  // 4 x 99 + 94 = 490 entry points
        for (int e = 0; e < count; ++e) {
            TDescriptionEntry entry;
            entry.TimeText = SecondsTextToTimeText(std::to_string(e * 10) + ".000");
            file.Entries.push_back(entry);
        }
        d.Files.push_back(file);
    }
    int position = 0;
    int total = 0;
    for (const TDescriptionFile& file : d.Files) total += static_cast<int>(file.Entries.size());
    for (TDescriptionFile& file : d.Files) {
        for (TDescriptionEntry& entry : file.Entries) {
            TSelectionState& s = entry.Selection;
            s.Prev.Target = position > 0 ? TPbcTarget::To(position - 1) : TPbcTarget{TPbcTargetKind::End, -1};
            s.Next.Target = position + 1 < total ? TPbcTarget::To(position + 1) : TPbcTarget{TPbcTargetKind::End, -1};
            s.NumericMode = TNumericMode::Automatic;
            for (int k = 0; k < NumericKeyCount && position + k < total; ++k)
                s.NumericKeys[static_cast<std::size_t>(k)] = TPbcTarget::To(position + k);
            ++position;
        }
    }
    return d;
}

void WritePlainDescription(benchmark::State& state) {
    const TVideoCdDescription d = LargestProject();
    std::size_t lines = 0;
    for (auto _ : state) lines = WriteVideoCdXml(d, TXmlMode::Plain).size();
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(WritePlainDescription)->Unit(benchmark::kMillisecond);

void ReadProjectFile(benchmark::State& state) {
    const TVideoCdDescription d = LargestProject();
    const std::string text = LinesToText(WriteVideoCdXml(d, TXmlMode::Project));
    const std::string bytes = ScrambleText(text + IntegrityLine(text) + "\r\n");
    TProjectFileReader reader;
    for (auto _ : state) benchmark::DoNotOptimize(reader.ReadBytes(bytes, "large.dsv"));
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(ReadProjectFile)->Unit(benchmark::kMillisecond);

void RebuildGeneratedStructure(benchmark::State& state) {
    TIsoStructure structure;
    structure.PlaybackControl = true;
    for (int i = 0; i < 1980; ++i) structure.Stills.push_back({"/media/still" + std::to_string(i) + ".mpg", 45056});
    for (int i = 0; i < 98; ++i)
        structure.MotionVideos.push_back({"/media/video" + std::to_string(i) + ".mpg", 1 << 20});
    TIsoTree tree;
    for (auto _ : state) BuildGeneratedStructure(tree, structure);
    state.counters["nodes"] = static_cast<double>(tree.NodeCount());
}
BENCHMARK(RebuildGeneratedStructure)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
