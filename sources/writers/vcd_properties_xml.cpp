#include "writers/vcd_properties_xml.h"

#include <unordered_map>

#include "model/iso_tree.h"
#include "model/mpeg_files.h"
#include "writers/video_cd_xml_writer.h"

namespace {

using TPositions = std::unordered_map<const TPbcSelection*, int>;

TPbcTarget TargetOf(const TPbcSelection* target, const TPositions& positions) {
    if (target == nullptr) return {};
    if (target == &DisabledSelection()) return {TPbcTargetKind::Disabled, -1};
    if (target == &EndSelection()) return {TPbcTargetKind::End, -1};
    if (target == &ItselfSelection()) return {TPbcTargetKind::Itself, -1};
    const auto found = positions.find(target);
    // A selection outside the project leads nowhere.
    return found == positions.end() ? TPbcTarget{} : TPbcTarget::To(found->second);
}

TSelectionState StateOf(const TPbcSelection& s, const TPositions& positions) {
    TSelectionState state;
    state.Prev = {TargetOf(s.PrevTarget(), positions), s.PrevAuto()};
    state.Next = {TargetOf(s.NextTarget(), positions), s.NextAuto()};
    state.Return = {TargetOf(s.ReturnTarget(), positions), s.ReturnAuto()};
    state.DefaultKey = {TargetOf(s.DefaultKeyTarget(), positions), s.DefaultKeyAuto()};
    state.Timeout = {TargetOf(s.TimeoutTarget(), positions), s.TimeoutAuto()};
    state.WaitAuto = s.WaitAuto();
    state.WaitTime = s.WaitTime();
    state.JumpImmediate = s.JumpImmediate();
    state.LoopCount = s.LoopCount();
    state.NumericMode = s.NumericMode();
    for (int k = 1; k <= NumericKeyCount; ++k)
        state.NumericKeys[static_cast<std::size_t>(k - 1)] = TargetOf(s.NumericKey(k), positions);
    return state;
}

void AddFiles(const TMpegFiles& files, TVideoCdDescription& d) {
    // Selection identifiers count every entry of every file, in order.
    TPositions positions;
    int position = 0;
    for (int i = 0; i < files.Count(); ++i) {
        const TEntryPointsList& entries = files.Get(i)->EntryPoints();
        for (int e = 0; e < entries.Count(); ++e, ++position) {
            if (TPbcSelection* selection = entries.SelectionAt(e)) {
                selection->SetSelectionId(SelectionIdAt(position));
                positions[selection] = position;
            }
        }
    }
    EndSelection().SetSelectionId("Selection-end");
    for (int i = 0; i < files.Count(); ++i) {
        const TMpegFile& file = *files.Get(i);
        TDescriptionFile out;
        out.FullPath = file.FullPath();
        out.IsStill = file.IsStill();
        out.Crc = file.Crc();
        out.Size = file.Size();
        out.FirstNumericKey = file.FirstNumericKey();
        const TEntryPointsList& entries = file.EntryPoints();
        for (int e = 0; e < entries.Count(); ++e) {
            TDescriptionEntry entry;
            entry.TimeText = entries.TimeAt(e);
            if (const TPbcSelection* selection = entries.SelectionAt(e))
                entry.Selection = StateOf(*selection, positions);
            out.Entries.push_back(entry);
        }
        d.Files.push_back(std::move(out));
    }
}

}  // namespace

TVideoCdDescription DescriptionFromProperties(const TVcdProperties& p) {
    TVideoCdDescription d;
    TProjectOptions& o = d.Options;
    o.TvSystem = p.TvSystem;
    o.CdImageType = p.CdImageType;
    o.Image2336 = p.Image2336;
    o.GapsCustomized = p.GapsCustomized;
    o.DefaultWaitTime = p.DefaultWaitTime;
    o.NumericKeysByDefault = p.NumericKeysByDefault;
    o.AlwaysSegmentFolder = p.AlwaysSegmentFolder;
    o.DefaultCdiApplication = p.DefaultCdiApplication;
    o.DefaultCdiConfigFile = p.DefaultCdiConfigFile;
    o.ExpertMode = p.ExpertMode;
    o.ComplianceChecks = p.ComplianceChecks;
    o.XmlOnly = p.XmlOnly;
    o.OutputBaseName = p.OutputBaseName;
    d.VideoCdType = p.VideoCdType;
    d.UsePBC = p.UsePBC;
    d.XmlComments = p.XmlComments;
    d.SvcdMpegavEntrysvd = p.SvcdMpegavEntrysvd;
    d.UpdateScanOffsets = p.UpdateScanOffsets;
    d.RelaxedAps = p.RelaxedAps;
    d.LeadoutPreGap = p.LeadoutPreGap;
    d.TrackPreGap = p.TrackPreGap;
    d.TrackFrontMargin = p.TrackFrontMargin;
    d.TrackRearMargin = p.TrackRearMargin;
    d.AlbumName = p.AlbumName;
    d.VolumeCount = p.VolumeCount;
    d.VolumeNumber = p.VolumeNumber;
    d.NextVolumeUseSequence2 = p.NextVolumeUseSequence2;
    d.NextVolumeUseLid2 = p.NextVolumeUseLid2;
    d.RestrictionCategory = p.RestrictionCategory;
    d.VolumeLabel = p.VolumeLabel;
    d.ApplicationID = p.ApplicationID;
    d.ProgramNameVersion = p.ProgramNameVersion;
    d.PlaceholderSequence = p.PlaceholderSequence;
    if (p.IsoTree != nullptr) d.FileSystem = FileSystemItems(*p.IsoTree, p.IsoRoot, p.EmptySegmentFolder);
    if (p.Files != nullptr) AddFiles(*p.Files, d);
    return d;
}

void WriteVideoCdXml(TVcdProperties* properties, bool projectMode) {
    if (properties == nullptr) return;
    const TStringList lines =
        WriteVideoCdXml(DescriptionFromProperties(*properties), projectMode ? TXmlMode::Project : TXmlMode::Plain);
    properties->Lines.insert(properties->Lines.end(), lines.begin(), lines.end());
}
