// The ISO 9660 file system of the disc as the user will see it: the folders and
// files that VCDImager generates (protected), the CD-i files, and the user's
// own files and folders from the hard disk. Toolkit-free; a tree view shows it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lib/text.h"
#include "model/iso_name.h"

// One item as it enters the tree.
struct TIsoFileData {
    bool Generated = false;  // part of the disc structure, protected
    bool IsFolder = false;
    std::string DisplayName;  // ISO name in the ISO modes, the disk name in Joliet
    std::string SourcePath;   // file on the disk, or the origin text of a virtual file
    std::string OriginalName;
    std::string IsoName;
    std::int64_t Size = 0;
    std::int64_t SubTreeSize = 0;
    std::int64_t CdSize = 0;  // Size rounded up to whole 2048-byte sectors
    std::int64_t SubTreeCdSize = 0;
    std::int32_t FileTime = 0;  // DOS date and time
    bool Virtual = true;        // not backed by a file of the hard disk
    std::string CdPath;
    std::string IsoPath;
    std::int32_t IsoPathLength = 0;
    bool Mixed = false;  // stored in full 2336-byte sectors
};

inline constexpr std::int64_t MixedSectorSize = 2336;

class TIsoTreeNode : public TIsoFileData {
public:
    explicit TIsoTreeNode(const TIsoFileData& data, TIsoTreeNode* parent) : TIsoFileData(data), ParentNode(parent) {}

    TIsoTreeNode* Parent() const { return ParentNode; }
    const std::vector<std::unique_ptr<TIsoTreeNode>>& Children() const { return ChildNodes; }
    // The root is level 0.
    int Level() const;
    TIsoTreeNode* FindChild(std::string_view displayName) const;
    // Only a non-empty file whose size is a multiple of 2336 may be mixed.
    bool CanBeMixed() const { return !IsFolder && Size > 0 && Size % MixedSectorSize == 0; }

private:
    friend class TIsoTree;
    TIsoTreeNode* ParentNode;
    std::vector<std::unique_ptr<TIsoTreeNode>> ChildNodes;
};

class TIsoTree {
public:
    using TNodeEvent = std::function<void(TIsoTreeNode&)>;
    using TSizeEvent = std::function<void(std::int64_t)>;

    TIsoTree();
    TIsoTree(const TIsoTree&) = delete;
    TIsoTree& operator=(const TIsoTree&) = delete;

    TIsoTreeNode* Root() const { return RootNode.get(); }
    TTreeMode TreeMode() const { return Mode; }
    // Refused (false) once the tree holds two nodes or more.
    bool SetTreeMode(TTreeMode mode);
    const std::string& Title() const { return RootNode->DisplayName; }
    void SetTitle(const std::string& title);  // at most 32 characters

    std::string ScanFilesFilter = "*.*";  // patterns separated by ";"
    bool ScanSubFolder = true;
    bool ScanRecycled = false;
    int ScanPenetrationMax = 8;
    bool NoDuplicates = true;
    bool NoNetworkFiles = true;

    TNodeEvent OnFileAdded, OnFolderAdded, OnVirtualFileAdded, OnVirtualFolderAdded;
    TSizeEvent OnSizeRealChanged, OnSizeCdChanged;
    std::function<void()> OnScanStart, OnScanStop, OnTitleChanged;
    // Raised every 50 nodes of a scan, for the view to repaint.
    std::function<void()> OnScanRefresh;

    // The add operations. A null or file parent stands for its folder; `force`
    // allows adding under and replacing generated items; `generated` marks the
    // new items as generated. Each returns the node added or reused, or null.
    TIsoTreeNode* AddFolderFromDisk(TIsoTreeNode* parent, const std::string& path, bool force, bool generated);
    bool AddFolderContent(TIsoTreeNode* parent, const std::string& path, bool force, bool generated);
    void AddFiles(TIsoTreeNode* parent, const TStringList& paths, bool force, bool generated);
    TIsoTreeNode* AddFileFromDisk(TIsoTreeNode* parent, const std::string& path, const std::string& isoName, bool force,
                                  bool generated);
    TIsoTreeNode* CreateFolder(TIsoTreeNode* parent, const std::string& name, bool force, bool generated);
    TIsoTreeNode* CreateVirtualFile(TIsoTreeNode* parent, const std::string& name, const std::string& origin,
                                    bool force, bool generated, std::int64_t size);

    // Removes the named child and its subtree; with `force` generated items go too.
    bool RemoveNamed(TIsoTreeNode* parent, const std::string& name, bool force);
    // The DEL key: removes what is not generated below and at the node, and
    // returns the node to select afterwards (the parent, or the root).
    TIsoTreeNode* DeleteSelected(TIsoTreeNode* node);
    void SortChildren(TIsoTreeNode* node, bool recursive);

    // Marks a file as stored in 2336-byte sectors; refuses (with a message) a
    // file whose size does not allow it.
    bool SetMixed(TIsoTreeNode& node, bool mixed);

    std::int64_t RealSize() const { return TotalSize; }
    std::int64_t CdSize() const { return TotalCdSize; }
    std::size_t NodeCount() const { return Nodes; }
    // Conflicts recorded by the additions since the list was last cleared;
    // the page clears it before an addition and after showing them.
    const TStringList& Conflicts() const { return ConflictTexts; }
    void ClearConflicts() { ConflictTexts.clear(); }
    // Items left out without a message because they lie too deep or their
    // ISO path is too long, by their source path; the page decides whether
    // to tell.
    const TStringList& LimitRefusals() const { return LimitRefusalPaths; }
    void ClearLimitRefusals() { LimitRefusalPaths.clear(); }

    // Files and folders dropped from the file manager onto `target`: added
    // under its folder in sorted order of their paths, unless that folder is
    // generated or dropping is switched off.
    bool FileDroppedAutoAdd = true;
    std::function<void(const TStringList& paths)> OnFileDropped;
    std::function<void()> OnFileDroppedStarted, OnFileDroppedEnded;
    void DropPaths(TIsoTreeNode* target, TStringList paths);

    // Asks a running scan to stop at its next entry (any thread).
    void RequestStop() { StopRequested = true; }

private:
    TIsoTreeNode* FolderFor(TIsoTreeNode* parent) const;
    TIsoTreeNode* AddItem(TIsoTreeNode* parent, TIsoFileData data, bool force, bool generated);
    TIsoTreeNode* Insert(TIsoTreeNode* parent, TIsoFileData data);
    // For a new item whose ISO name another item holds: the first free
    // numbered name goes into `data` (nothing returned), or the item already
    // added under one is returned; `existing` when no numbering applies.
    TIsoTreeNode* TakeNumberedName(const TIsoTreeNode& folder, TIsoFileData& data, TIsoTreeNode* existing) const;
    void RecordConflict(const TIsoTreeNode& existing, const std::string& newPath);
    void ChangeTotals(TIsoTreeNode* from, std::int64_t size, std::int64_t cdSize);
    bool DeleteSubtree(TIsoTreeNode* node, bool force);
    // The item for a file or folder of the disk; nothing (after a message) when unreadable.
    std::optional<TIsoFileData> DiskItem(const std::string& path, bool isFolder, const std::string& isoName) const;
    bool CheckDiskPath(const std::string& path) const;
    bool ScanFolder(TIsoTreeNode* folder, const std::string& path, int depth, bool force, bool generated);
    bool ServeAndContinue();
    void BeginOperation();

    std::unique_ptr<TIsoTreeNode> RootNode;
    TTreeMode Mode = TTreeMode::IsoLevel1;
    std::int64_t TotalSize = 0;
    std::int64_t TotalCdSize = 0;
    std::size_t Nodes = 1;
    std::size_t ScannedNodes = 0;
    TStringList ConflictTexts;
    TStringList LimitRefusalPaths;
    std::atomic<bool> StopRequested{false};
};

// The tree of the ISO files page as the project holds it; a view shows it.
class TCdTreeView final : public TIsoTree {};

// Bytes rounded up to whole 2048-byte sectors.
std::int64_t RoundToCdSectors(std::int64_t size);
// "Approximate ISO File System size" turns red above 650 MiB.
bool IsoSizeTooBig(std::int64_t cdSize);
// The special-folder refusal text for the folder of that name.
std::string SpecialFolderMessage(const std::string& folderName);
