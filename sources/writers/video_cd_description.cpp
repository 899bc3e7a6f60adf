#include "writers/video_cd_description.h"

#include "model/iso_tree.h"

namespace {

void Walk(const TIsoTreeNode& node, bool topLevel, bool inCdi, bool emptySegmentFolder,
          std::vector<TFileSystemItem>& out) {
    if (node.IsFolder) {
        const std::string upper = UpperCase(node.IsoName);
        const bool segment = topLevel && upper == "SEGMENT" && emptySegmentFolder;
        const bool cdi = topLevel && upper == "CDI";
        if (!segment && !cdi && node.Generated) return;
        TFileSystemItem folder;
        folder.IsFolder = true;
        folder.Name = node.IsoName;
        if (!segment)
            for (const auto& child : node.Children()) Walk(*child, false, cdi, emptySegmentFolder, folder.Children);
        out.push_back(std::move(folder));
        return;
    }
    if (node.Virtual) return;
    if (node.Generated && !(inCdi && !node.SourcePath.empty())) return;
    TFileSystemItem file;
    file.Name = node.IsoName;
    file.SourcePath = node.SourcePath;
    file.Mixed = node.Mixed;
    out.push_back(std::move(file));
}

}  // namespace

std::vector<TFileSystemItem> FileSystemItems(const TIsoTree& tree, const TIsoTreeNode* root, bool emptySegmentFolder) {
    std::vector<TFileSystemItem> items;
    const TIsoTreeNode* start = root != nullptr ? root : tree.Root();
    for (const auto& child : start->Children()) Walk(*child, true, false, emptySegmentFolder, items);
    return items;
}
