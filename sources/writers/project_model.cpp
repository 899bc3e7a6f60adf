#include "writers/project_model.h"

#include <filesystem>
#include <memory>

#include "model/iso_tree.h"
#include "model/mpeg_files.h"

void PropertiesFromDescription(const TVideoCdDescription& d, TVcdProperties& p) {
    const TProjectOptions& o = d.Options;
    p.TvSystem = o.TvSystem;
    p.CdImageType = o.CdImageType;
    p.Image2336 = o.Image2336;
    p.GapsCustomized = o.GapsCustomized;
    p.DefaultWaitTime = o.DefaultWaitTime;
    p.NumericKeysByDefault = o.NumericKeysByDefault;
    p.AlwaysSegmentFolder = o.AlwaysSegmentFolder;
    p.DefaultCdiApplication = o.DefaultCdiApplication;
    p.DefaultCdiConfigFile = o.DefaultCdiConfigFile;
    p.ExpertMode = o.ExpertMode;
    p.ComplianceChecks = o.ComplianceChecks;
    p.XmlOnly = o.XmlOnly;
    p.SetOutputBaseName(o.OutputBaseName);
    p.VideoCdType = d.VideoCdType;
    p.UsePBC = d.UsePBC;
    p.SvcdMpegavEntrysvd = d.SvcdMpegavEntrysvd;
    p.UpdateScanOffsets = d.UpdateScanOffsets;
    p.RelaxedAps = d.RelaxedAps;
    p.LeadoutPreGap = d.LeadoutPreGap;
    p.TrackPreGap = d.TrackPreGap;
    p.TrackFrontMargin = d.TrackFrontMargin;
    p.TrackRearMargin = d.TrackRearMargin;
    p.AlbumName = d.AlbumName;
    p.VolumeCount = d.VolumeCount;
    p.VolumeNumber = d.VolumeNumber;
    p.NextVolumeUseSequence2 = d.NextVolumeUseSequence2;
    p.NextVolumeUseLid2 = d.NextVolumeUseLid2;
    p.RestrictionCategory = d.RestrictionCategory;
    p.VolumeLabel = d.VolumeLabel;
    p.ApplicationID = d.ApplicationID;
}

TStringList DescriptionLimitProblems(const TVideoCdDescription& description) {
    TVcdProperties properties;
    PropertiesFromDescription(description, properties);
    return PropertyLimitProblems(properties);
}

namespace {

TPbcSelection* SelectionFor(const TPbcTarget& target, const std::vector<TPbcSelection*>& flat) {
    switch (target.Kind) {
        case TPbcTargetKind::None:
            return nullptr;
        case TPbcTargetKind::Disabled:
            return &DisabledSelection();
        case TPbcTargetKind::End:
            return &EndSelection();
        case TPbcTargetKind::Itself:
            return &ItselfSelection();
        case TPbcTargetKind::Selection:
            if (target.Selection < 0 || target.Selection >= static_cast<int>(flat.size())) return nullptr;
            return flat[static_cast<std::size_t>(target.Selection)];
    }
    return nullptr;
}

void ApplyKey(TPbcSelection& s, const TPbcKey& key, const std::vector<TPbcSelection*>& flat,
              void (TPbcSelection::*user)(TPbcSelection*), void (TPbcSelection::*automatic)(TPbcSelection*)) {
    TPbcSelection* target = SelectionFor(key.Target, flat);
    if (key.Auto)
        (s.*automatic)(target);
    else
        (s.*user)(target);
}

void ApplyState(TPbcSelection& s, const TSelectionState& state, const std::vector<TPbcSelection*>& flat) {
    ApplyKey(s, state.Prev, flat, &TPbcSelection::SetPrev, &TPbcSelection::SetAutoPrev);
    ApplyKey(s, state.Next, flat, &TPbcSelection::SetNext, &TPbcSelection::SetAutoNext);
    ApplyKey(s, state.Return, flat, &TPbcSelection::SetReturn, &TPbcSelection::SetAutoReturn);
    ApplyKey(s, state.DefaultKey, flat, &TPbcSelection::SetDefaultKey, &TPbcSelection::SetAutoDefaultKey);
    ApplyKey(s, state.Timeout, flat, &TPbcSelection::SetTimeout, &TPbcSelection::SetAutoTimeout);
    if (state.WaitAuto)
        s.SetAutoWaitTime(state.WaitTime);
    else
        s.SetWaitTime(state.WaitTime);
    s.SetJumpImmediate(state.JumpImmediate);
    s.SetLoopCount(state.LoopCount);
    s.SetNumericMode(state.NumericMode);
    if (state.NumericMode == TNumericMode::Custom)
        for (int k = 1; k <= NumericKeyCount; ++k)
            s.SetNumericKey(k, SelectionFor(state.NumericKeys[static_cast<std::size_t>(k - 1)], flat));
}

}  // namespace

TProjectLoadReport FilesFromDescription(const TVideoCdDescription& d, TMpegFiles& files) {
    TProjectLoadReport report;
    files.Clear();
    std::vector<TPbcSelection*> flat;
    for (const TDescriptionFile& saved : d.Files) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(saved.FullPath, error)) {
            report.MissingFiles.push_back(saved.FullPath);
            flat.insert(flat.end(), saved.Entries.size(), nullptr);
            continue;
        }
        TMpegFile* file = files.Add(std::make_unique<TMpegFile>(saved.FullPath, !saved.IsStill));
        if (file == nullptr) {
            flat.insert(flat.end(), saved.Entries.size(), nullptr);
            continue;
        }
        if (file->Size() != saved.Size || file->Crc() != saved.Crc) report.ChangedFiles.push_back(saved.FullPath);
        file->SetFirstNumericKey(saved.FirstNumericKey);
        for (std::size_t i = 0; i < saved.Entries.size(); ++i) {
            // The start entry is the file's own; the others are its chapters.
            TPbcSelection* selection = i == 0 && file->EntryPoints().Count() > 0
                                           ? file->EntryPoints().SelectionAt(0)
                                           : file->AddEntryPoint(saved.Entries[i].TimeText, true);
            flat.push_back(selection);
        }
    }
    ApplySelectionStates(d, flat);
    files.UpdateNotify(true);
    return report;
}

void ApplySelectionStates(const TVideoCdDescription& d, const std::vector<TPbcSelection*>& flat) {
    // Targets may point forward: every selection exists before any is set.
    std::size_t position = 0;
    for (const TDescriptionFile& saved : d.Files)
        for (const TDescriptionEntry& entry : saved.Entries) {
            if (position < flat.size() && flat[position] != nullptr) ApplyState(*flat[position], entry.Selection, flat);
            ++position;
        }
}

namespace {

void AddItems(const std::vector<TFileSystemItem>& items, TIsoTree& tree, TIsoTreeNode* parent) {
    for (const TFileSystemItem& item : items) {
        if (item.IsFolder) {
            if (TIsoTreeNode* folder = tree.CreateFolder(parent, item.Name, false, false))
                AddItems(item.Children, tree, folder);
        } else if (TIsoTreeNode* file = tree.AddFileFromDisk(parent, item.SourcePath, item.Name, false, false)) {
            if (item.Mixed) tree.SetMixed(*file, true);
        }
    }
}

}  // namespace

void IsoTreeFromDescription(const std::vector<TFileSystemItem>& items, TIsoTree& tree) {
    std::vector<TFileSystemItem> user;
    for (const TFileSystemItem& item : items) {
        const std::string name = UpperCase(item.Name);
        if (item.IsFolder && (name == "SEGMENT" || name == "CDI")) continue;
        user.push_back(item);
    }
    AddItems(user, tree, nullptr);
}
