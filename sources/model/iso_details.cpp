#include "model/iso_details.h"

#include "settings/language.h"

const TStringList& IsoDetailColumns() {
    static const TStringList columns = {"IsoName",           "Name",       "Size",          "SubTree Size", "Size (CD)",
                                        "SubTree Size (CD)", "Editable",   "Last Modified", "Origin",       "IsoLength",
                                        "TreeSubLevel",      "IsoTreePath"};
    return columns;
}

std::string IsoSizeText(std::int64_t size) {
    if (size <= 1000) return std::to_string(size) + " " + Translate("bytes");
    const double kb = static_cast<double>(size) / 1024.0;
    if (kb <= 100.0) return Format("%.2f KB", kb);
    return Format("%.2f MB", kb / 1024.0);
}

std::string ApproximateIsoSizeText(std::int64_t cdSize) {
    return Translate("Approximate ISO File System size") + ":  " + IsoSizeText(cdSize);
}

std::string DosTimeText(std::int32_t dosTime) {
    const auto t = static_cast<std::uint32_t>(dosTime);
    return Format("%04u-%02u-%02u %02u:%02u:%02u", 1980 + (t >> 25), (t >> 21) & 0x0Fu, (t >> 16) & 0x1Fu,
                  (t >> 11) & 0x1Fu, (t >> 5) & 0x3Fu, (t & 0x1Fu) * 2);
}

bool IsoDetailHasMixedBox(const TIsoTreeNode& node) { return node.CanBeMixed(); }

TStringList IsoDetailRow(const TIsoTree& tree, const TIsoTreeNode& node) {
    const auto bytes = [](std::int64_t size) { return std::to_string(size) + " " + Translate("bytes"); };
    if (node.Parent() == nullptr)
        return {tree.Title(),
                tree.Title(),
                IsoSizeText(tree.RealSize()),
                IsoSizeText(tree.RealSize()),
                bytes(tree.CdSize()),
                bytes(tree.CdSize()),
                Translate("No"),
                DosTimeText(node.FileTime),
                "",
                "1",
                "0",
                "/"};
    return {node.IsoName,
            node.OriginalName,
            IsoSizeText(node.Size),
            IsoSizeText(node.SubTreeSize),
            bytes(node.CdSize),
            bytes(node.SubTreeCdSize),
            node.Generated ? Translate("No") : Translate("Yes"),
            DosTimeText(node.FileTime),
            node.SourcePath,
            std::to_string(node.IsoPathLength),
            std::to_string(node.Level()),
            node.IsoPath};
}
