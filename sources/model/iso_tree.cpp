#include "model/iso_tree.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "services/services.h"
#include "settings/language.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t CdSectorSize = 2048;
constexpr std::size_t RefreshEveryNodes = 50;
constexpr std::size_t MaxTitleLength = 32;
constexpr std::size_t MaxIsoPathLength = 255;

void ShowError(const std::string& message) { Dialogs().MessageDlg("\r" + message + "   ", TMsgDlgType::Error, mbOK); }

std::int32_t DosTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    const auto year = static_cast<std::uint32_t>(std::max(local.tm_year - 80, 0));
    const std::uint32_t packed =
        (year << 25) | (static_cast<std::uint32_t>(local.tm_mon + 1) << 21) |
        (static_cast<std::uint32_t>(local.tm_mday) << 16) | (static_cast<std::uint32_t>(local.tm_hour) << 11) |
        (static_cast<std::uint32_t>(local.tm_min) << 5) | static_cast<std::uint32_t>(local.tm_sec / 2);
    return static_cast<std::int32_t>(packed);
}

std::int32_t DosTimeNow() { return DosTime(std::time(nullptr)); }

std::int32_t DosTimeOf(const fs::path& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return DosTimeNow();
    return DosTime(status.st_mtime);
}

bool MatchesFilter(const std::string& name, const std::string& filter) {
    for (const std::string& raw : SplitLines(ReplaceAll(filter, ";", "\n"))) {
        const std::string pattern = Trim(raw);
        if (pattern.empty()) continue;
        // "*.*" stands for every file, also those without an extension.
        if (pattern == "*.*" || pattern == "*") return true;
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
    }
    return false;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// How far the numbered endings of one shortened name go.
constexpr int MaxNameNumber = 9999;

// The same file or folder added again: the same source, and for created
// items (no source) the same name.
bool IsSameItem(const TIsoTreeNode& node, const TIsoFileData& data) {
    return node.SourcePath == data.SourcePath && (!data.SourcePath.empty() || node.OriginalName == data.OriginalName);
}

// Folders before files, then the display names without regard to case.
bool SortsBefore(const std::unique_ptr<TIsoTreeNode>& a, const std::unique_ptr<TIsoTreeNode>& b) {
    if (a->IsFolder != b->IsFolder) return a->IsFolder;
    const std::string& x = a->DisplayName;
    const std::string& y = b->DisplayName;
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char l, char r) {
        return std::tolower(static_cast<unsigned char>(l)) < std::tolower(static_cast<unsigned char>(r));
    });
}

}  // namespace

int TIsoTreeNode::Level() const {
    int level = 0;
    for (const TIsoTreeNode* node = ParentNode; node != nullptr; node = node->ParentNode) ++level;
    return level;
}

TIsoTreeNode* TIsoTreeNode::FindChild(std::string_view displayName) const {
    for (const auto& child : ChildNodes)
        if (child->DisplayName == displayName) return child.get();
    return nullptr;
}

std::int64_t RoundToCdSectors(std::int64_t size) {
    if (size <= 0) return 0;
    return (size + CdSectorSize - 1) / CdSectorSize * CdSectorSize;
}

bool IsoSizeTooBig(std::int64_t cdSize) { return cdSize / 1048576 + 1 > 650; }

std::string SpecialFolderMessage(const std::string& folderName) {
    return Translate("Forbidden") + "..." + "\r\r" +
           Format(Translate("The Folder \"%s\" is a special (S)VCD folder!"), folderName);
}

TIsoTree::TIsoTree() {
    TIsoFileData root;
    root.IsFolder = true;
    root.DisplayName = "CDROM";
    root.OriginalName = "CDROM";
    root.SourcePath = "";
    root.IsoPath = "/";
    root.IsoPathLength = 1;
    root.FileTime = DosTimeNow();
    RootNode = std::make_unique<TIsoTreeNode>(root, nullptr);
}

bool TIsoTree::SetTreeMode(TTreeMode mode) {
    if (Nodes >= 2) return false;
    Mode = mode;
    return true;
}

void TIsoTree::SetTitle(const std::string& title) {
    std::size_t length = std::min(title.size(), MaxTitleLength);
    // Never cut a character in two.
    while (length < title.size() && length > 0 && (static_cast<unsigned char>(title[length]) & 0xC0) == 0x80) --length;
    RootNode->DisplayName = title.substr(0, length);
    if (OnTitleChanged) OnTitleChanged();
}

TIsoTreeNode* TIsoTree::FolderFor(TIsoTreeNode* parent) const {
    TIsoTreeNode* node = parent != nullptr ? parent : RootNode.get();
    while (!node->IsFolder && node->ParentNode != nullptr) node = node->ParentNode;
    return node;
}

void TIsoTree::BeginOperation() { StopRequested = false; }

TIsoTreeNode* TIsoTree::AddItem(TIsoTreeNode* parent, TIsoFileData data, bool force, bool generated) {
    TIsoTreeNode* folder = FolderFor(parent);
    if (folder->Generated && !force) {
        ShowError(SpecialFolderMessage(folder->DisplayName));
        return nullptr;
    }
    data.DisplayName = Mode == TTreeMode::Joliet ? data.OriginalName : data.IsoName;
    if (NoDuplicates) {
        TIsoTreeNode* existing = folder->FindChild(data.DisplayName);
        if (existing != nullptr && !generated && !existing->Generated && !IsSameItem(*existing, data))
            existing = TakeNumberedName(*folder, data, existing);
        if (existing != nullptr) {
            if (existing->Generated && !force) {
                ShowError(SpecialFolderMessage(existing->DisplayName));
                return nullptr;
            }
            if (generated) {
                existing->Generated = true;
                return existing;
            }
            if (existing->SourcePath != data.SourcePath) {
                RecordConflict(*existing, data.SourcePath);
                return nullptr;
            }
            return existing;
        }
    }
    data.Generated = generated;
    data.CdPath = folder->CdPath + "/" + data.OriginalName;
    std::string parentIsoPath = folder->IsoPath;
    while (!parentIsoPath.empty() && parentIsoPath.back() == '/') parentIsoPath.pop_back();
    data.IsoPath = parentIsoPath + "/" + data.IsoName;
    data.IsoPathLength = static_cast<std::int32_t>(data.IsoPath.size());
    if (Mode != TTreeMode::Joliet) {
        // ISO 9660 allows eight levels of folders and 255 characters per path.
        const int parentLevel = folder->Level();
        if (data.IsoPath.size() > MaxIsoPathLength || (data.IsFolder && parentLevel > 7) ||
            (!data.IsFolder && parentLevel > 8)) {
            LimitRefusalPaths.push_back(data.SourcePath.empty() ? data.CdPath : data.SourcePath);
            return nullptr;
        }
    }
    data.CdSize = RoundToCdSectors(data.Size);
    data.SubTreeSize = data.Size;
    data.SubTreeCdSize = data.CdSize;
    return Insert(folder, std::move(data));
}

TIsoTreeNode* TIsoTree::TakeNumberedName(const TIsoTreeNode& folder, TIsoFileData& data, TIsoTreeNode* existing) const {
    // Only a name that the ISO rules shortened may be numbered; two
    // different files of the same name are a real conflict.
    if (Mode == TTreeMode::Joliet || !IsoNameIsShortened(data.OriginalName, data.IsoName, data.IsFolder))
        return existing;
    for (int number = 1; number <= MaxNameNumber; ++number) {
        const std::string candidate = NumberedIsoName(data.IsoName, data.IsFolder, Mode, number);
        if (candidate.empty()) break;
        TIsoTreeNode* holder = folder.FindChild(candidate);
        if (holder != nullptr && !IsSameItem(*holder, data)) continue;
        if (holder == nullptr) data.IsoName = data.DisplayName = candidate;
        return holder;
    }
    return existing;
}

TIsoTreeNode* TIsoTree::Insert(TIsoTreeNode* parent, TIsoFileData data) {
    TIsoTreeNode* node = nullptr;
    try {
        // Placed where sorting would put it: folders first, then by name.
        auto created = std::make_unique<TIsoTreeNode>(data, parent);
        auto& siblings = parent->ChildNodes;
        const auto at = std::upper_bound(siblings.begin(), siblings.end(), created, SortsBefore);
        node = siblings.insert(at, std::move(created))->get();
    } catch (const std::exception&) {
        return nullptr;
    }
    ++Nodes;
    ++ScannedNodes;
    ChangeTotals(parent, node->Size, node->CdSize);
    const TNodeEvent& event = node->IsFolder ? (node->Virtual ? OnVirtualFolderAdded : OnFolderAdded)
                                             : (node->Virtual ? OnVirtualFileAdded : OnFileAdded);
    if (event) event(*node);
    return node;
}

void TIsoTree::ChangeTotals(TIsoTreeNode* from, std::int64_t size, std::int64_t cdSize) {
    for (TIsoTreeNode* node = from; node != nullptr; node = node->ParentNode) {
        node->SubTreeSize += size;
        node->SubTreeCdSize += cdSize;
    }
    TotalSize += size;
    TotalCdSize += cdSize;
    if (size != 0 && OnSizeRealChanged) OnSizeRealChanged(TotalSize);
    if (cdSize != 0 && OnSizeCdChanged) OnSizeCdChanged(TotalCdSize);
}

void TIsoTree::RecordConflict(const TIsoTreeNode& existing, const std::string& newPath) {
    // No short (8.3) names here: the short form of a path is the path itself.
    const std::string& newShort = newPath;
    const std::string& oldShort = existing.SourcePath;
    std::string text;
    if (!existing.IsoPath.empty()) {
        text = Translate("At the ISO Fullname") + ":  \"" + existing.IsoPath + "\"" + "\r\r" + "   \"" + newPath +
               "\"" + "\r" + "   (" + newShort + ")" + "\r\r" + Translate("is in conflict with") + "\r\r" + "   \"" +
               existing.SourcePath + "\"" + "\r" + "   (" + oldShort + ")" + "\r";
    } else {
        text =
            Quoted(newPath) + "\r\r" + Translate("is in conflict with") + "\r\r" + Quoted(existing.SourcePath) + "\r";
    }
    ConflictTexts.push_back(text);
}

bool TIsoTree::CheckDiskPath(const std::string& path) const {
    const std::string problem = DiskPathProblem(path, NoNetworkFiles);
    if (problem.empty()) return true;
    ShowError(problem);
    return false;
}

std::optional<TIsoFileData> TIsoTree::DiskItem(const std::string& path, bool isFolder,
                                               const std::string& isoName) const {
    std::error_code error;
    const fs::path diskPath(path);
    const bool exists = isFolder ? fs::is_directory(diskPath, error) : fs::is_regular_file(diskPath, error);
    TIsoFileData data;
    if (exists && !isFolder) data.Size = static_cast<std::int64_t>(fs::file_size(diskPath, error));
    if (!exists || error) {
        ShowError(Format(Translate("Unable to read \"%s\""), path));
        return std::nullopt;
    }
    data.IsFolder = isFolder;
    data.SourcePath = path;
    data.OriginalName = diskPath.filename().string();
    if (data.OriginalName.empty()) data.OriginalName = diskPath.parent_path().filename().string();
    data.IsoName = ::IsoName(data.OriginalName, isFolder, Mode);
    if (!Trim(isoName).empty() && ::IsoName(isoName, isFolder, Mode) == UpperCase(Trim(isoName)))
        data.IsoName = UpperCase(Trim(isoName));
    data.FileTime = DosTimeOf(diskPath);
    data.Virtual = false;
    return data;
}

bool TIsoTree::ServeAndContinue() {
    MainThread().ProcessPending();
    if (ScannedNodes >= RefreshEveryNodes) {
        ScannedNodes = 0;
        if (OnScanRefresh) OnScanRefresh();
    }
    return !StopRequested;
}

bool TIsoTree::ScanFolder(TIsoTreeNode* folder, const std::string& path, int depth, bool force, bool generated) {
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError))
            folders.push_back(it->path());
        else if (it->is_regular_file(kindError))
            files.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());

    if (ScanSubFolder && depth < ScanPenetrationMax) {
        for (const fs::path& sub : folders) {
            if (!ServeAndContinue()) return false;
            if (!ScanRecycled && IsRecycleFolderName(sub.filename().string())) continue;
            if (!CheckDiskPath(sub.string())) return true;
            const auto data = DiskItem(sub.string(), true, "");
            if (!data) continue;
            TIsoTreeNode* node = AddItem(folder, *data, force, generated);
            if (node != nullptr && !ScanFolder(node, sub.string(), depth + 1, force, generated)) return false;
        }
    }
    for (const fs::path& file : files) {
        if (!ServeAndContinue()) return false;
        if (!MatchesFilter(file.filename().string(), ScanFilesFilter)) continue;
        if (!CheckDiskPath(file.string())) continue;
        if (const auto data = DiskItem(file.string(), false, "")) AddItem(folder, *data, force, generated);
    }
    return true;
}

TIsoTreeNode* TIsoTree::AddFolderFromDisk(TIsoTreeNode* parent, const std::string& path, bool force, bool generated) {
    BeginOperation();
    if (!CheckDiskPath(path)) return nullptr;
    const auto data = DiskItem(path, true, "");
    if (!data) return nullptr;
    TIsoTreeNode* node = AddItem(parent, *data, force, generated);
    if (node == nullptr) return nullptr;
    if (OnScanStart) OnScanStart();
    ScanFolder(node, path, 0, force, generated);
    if (OnScanStop) OnScanStop();
    return node;
}

bool TIsoTree::AddFolderContent(TIsoTreeNode* parent, const std::string& path, bool force, bool generated) {
    BeginOperation();
    if (!CheckDiskPath(path)) return false;
    TIsoTreeNode* folder = FolderFor(parent);
    if (folder->Generated && !force) {
        ShowError(SpecialFolderMessage(folder->DisplayName));
        return false;
    }
    if (OnScanStart) OnScanStart();
    const bool complete = ScanFolder(folder, path, 0, force, generated);
    if (OnScanStop) OnScanStop();
    return complete;
}

void TIsoTree::AddFiles(TIsoTreeNode* parent, const TStringList& paths, bool force, bool generated) {
    BeginOperation();
    TIsoTreeNode* folder = FolderFor(parent);
    for (const std::string& path : paths) {
        if (!ServeAndContinue()) break;
        if (!CheckDiskPath(path)) continue;
        if (const auto data = DiskItem(path, false, "")) AddItem(folder, *data, force, generated);
    }
}

TIsoTreeNode* TIsoTree::AddFileFromDisk(TIsoTreeNode* parent, const std::string& path, const std::string& isoName,
                                        bool force, bool generated) {
    BeginOperation();
    if (!CheckDiskPath(path)) return nullptr;
    const auto data = DiskItem(path, false, isoName);
    if (!data) return nullptr;
    TIsoTreeNode* node = AddItem(parent, *data, force, generated);
    return node;
}

TIsoTreeNode* TIsoTree::CreateFolder(TIsoTreeNode* parent, const std::string& name, bool force, bool generated) {
    BeginOperation();
    TIsoFileData data;
    data.IsFolder = true;
    data.OriginalName = name;
    data.IsoName = ::IsoName(name, true, Mode);
    data.SourcePath = "";
    data.FileTime = DosTimeNow();
    TIsoTreeNode* node = AddItem(parent, data, force, generated);
    return node;
}

TIsoTreeNode* TIsoTree::CreateVirtualFile(TIsoTreeNode* parent, const std::string& name, const std::string& origin,
                                          bool force, bool generated, std::int64_t size) {
    BeginOperation();
    TIsoFileData data;
    data.OriginalName = name;
    data.IsoName = ::IsoName(name, false, Mode);
    data.SourcePath = origin;
    data.Size = size;
    data.FileTime = DosTimeNow();
    TIsoTreeNode* node = AddItem(parent, data, force, generated);
    return node;
}

bool TIsoTree::DeleteSubtree(TIsoTreeNode* node, bool force) {
    std::vector<TIsoTreeNode*> children;
    for (const auto& child : node->ChildNodes) children.push_back(child.get());
    for (TIsoTreeNode* child : children) DeleteSubtree(child, force);
    TIsoTreeNode* parent = node->ParentNode;
    if (parent == nullptr || !node->ChildNodes.empty() || (node->Generated && !force)) return false;
    ChangeTotals(parent, -node->Size, -node->CdSize);
    auto& siblings = parent->ChildNodes;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(), [node](const auto& p) { return p.get() == node; }));
    --Nodes;
    return true;
}

bool TIsoTree::RemoveNamed(TIsoTreeNode* parent, const std::string& name, bool force) {
    TIsoTreeNode* child = FolderFor(parent)->FindChild(name);
    return child != nullptr && DeleteSubtree(child, force);
}

TIsoTreeNode* TIsoTree::DeleteSelected(TIsoTreeNode* node) {
    if (node == nullptr) return RootNode.get();
    TIsoTreeNode* parent = node->ParentNode;
    DeleteSubtree(node, false);
    return parent != nullptr ? parent : RootNode.get();
}

void TIsoTree::SortChildren(TIsoTreeNode* node, bool recursive) {
    if (node == nullptr) return;
    std::stable_sort(node->ChildNodes.begin(), node->ChildNodes.end(), SortsBefore);
    if (recursive)
        for (const auto& child : node->ChildNodes) SortChildren(child.get(), true);
}

bool TIsoTree::SetMixed(TIsoTreeNode& node, bool mixed) {
    if (mixed && !node.CanBeMixed()) {
        ShowError(
            Translate("This file must have a size multiple of 2336 and be not empty, if you want to add it as a "
                      "full 2336 bytes sectors file"));
        node.Mixed = false;
        return false;
    }
    node.Mixed = mixed;
    return true;
}

void TIsoTree::DropPaths(TIsoTreeNode* target, TStringList paths) {
    if (OnFileDropped) OnFileDropped(paths);
    TIsoTreeNode* folder = FolderFor(target);
    if (!FileDroppedAutoAdd || folder->Generated) return;
    if (OnFileDroppedStarted) OnFileDroppedStarted();
    ConflictTexts.clear();
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error))
            AddFolderFromDisk(folder, path, false, false);
        else
            AddFileFromDisk(folder, path, "", false, false);
        if (StopRequested) break;
    }
    if (OnFileDroppedEnded) OnFileDroppedEnded();
}
