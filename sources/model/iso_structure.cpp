#include "model/iso_structure.h"

#include <filesystem>

namespace {

constexpr const char* GeneratedOrigin = "Generated";

void VirtualFiles(TIsoTree& tree, TIsoTreeNode* folder,
                  std::initializer_list<std::pair<const char*, std::int64_t>> files) {
    for (const auto& [name, size] : files) tree.CreateVirtualFile(folder, name, GeneratedOrigin, true, true, size);
}

}  // namespace

void BuildDiscStructure(TIsoTree& tree, const TIsoStructure& s) {
    for (const char* name : {"SVCD", "CDDA", "EXT", "VCD"}) tree.RemoveNamed(tree.Root(), name, true);
    if (!s.Svcd) {
        tree.CreateFolder(tree.Root(), "CDDA", true, true);
        TIsoTreeNode* ext = tree.CreateFolder(tree.Root(), "EXT", true, true);
        if (s.PlaybackControl) VirtualFiles(tree, ext, {{"LOT_X.VCD", 65536}, {"PSD_X.VCD", 1024}});
        TIsoTreeNode* vcd = tree.CreateFolder(tree.Root(), "VCD", true, true);
        VirtualFiles(tree, vcd, {{"ENTRIES.VCD", 2048}, {"INFO.VCD", 2048}});
        if (s.PlaybackControl) VirtualFiles(tree, vcd, {{"LOT.VCD", 65536}, {"PSD.VCD", 1024}});
        return;
    }
    TIsoTreeNode* svcd = tree.CreateFolder(tree.Root(), "SVCD", true, true);
    VirtualFiles(tree, svcd, {{"ENTRIES.SVD", 2048}, {"INFO.SVD", 2048}, {"SEARCH.DAT", 1024}, {"TRACKS.SVD", 2048}});
    if (s.PlaybackControl) VirtualFiles(tree, svcd, {{"LOT.SVD", 65536}, {"PSD.SVD", 1024}});
    TIsoTreeNode* ext = tree.CreateFolder(tree.Root(), "EXT", true, true);
    VirtualFiles(tree, ext, {{"SCANDATA.DAT", 1024}});
}

void BuildCdiFolder(TIsoTree& tree, const TIsoStructure& s) {
    tree.RemoveNamed(tree.Root(), "CDI", true);
    if (!s.CdiAvailable) return;
    TIsoTreeNode* cdi = tree.CreateFolder(tree.Root(), "CDI", true, true);
    std::vector<std::string> names = {"CDI_VCD.APP", "CDI_TEXT.FNT", "CDI_IMAG.RTF"};
    if (s.CdiConfigFile) names.push_back("CDI_VCD.CFG");
    for (const std::string& name : names) {
        const std::string path = (std::filesystem::path(s.CdiFolder) / name).string();
        TIsoTreeNode* node = tree.AddFileFromDisk(cdi, path, name, true, true);
        if (node != nullptr && name == "CDI_IMAG.RTF") node->Mixed = true;
    }
}

namespace {

void PlayItems(TIsoTree& tree, TIsoTreeNode* folder, const std::vector<TIsoStructureItem>& items,
               const std::string& prefix, int digits, const std::string& extension) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string name = prefix + ZeroPad(static_cast<long long>(i + 1), digits) + extension;
        tree.CreateVirtualFile(folder, name, items[i].Path, true, true, items[i].DiscSize);
    }
}

std::string PlayItemExtension(const TIsoStructure& s) { return s.Svcd ? ".MPG" : ".DAT"; }

}  // namespace

void BuildStillsFolder(TIsoTree& tree, const TIsoStructure& s) {
    tree.RemoveNamed(tree.Root(), "SEGMENT", true);
    PlayItems(tree, tree.CreateFolder(tree.Root(), "SEGMENT", true, true), s.Stills, "ITEM", 4, PlayItemExtension(s));
}

void BuildMotionVideoFolder(TIsoTree& tree, const TIsoStructure& s) {
    tree.RemoveNamed(tree.Root(), "MPEGAV", true);
    tree.RemoveNamed(tree.Root(), "MPEG2", true);
    const bool mpegav = !s.Svcd || s.SvcdMpegav;
    TIsoTreeNode* videos = tree.CreateFolder(tree.Root(), mpegav ? "MPEGAV" : "MPEG2", true, true);
    PlayItems(tree, videos, s.MotionVideos, "AVSEQ", 2, PlayItemExtension(s));
}

void BuildGeneratedStructure(TIsoTree& tree, const TIsoStructure& s) {
    BuildDiscStructure(tree, s);
    BuildCdiFolder(tree, s);
    BuildStillsFolder(tree, s);
    BuildMotionVideoFolder(tree, s);
}
