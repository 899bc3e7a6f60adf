// The project's ordered list of MPEG files: the order of the tracks and
// segment items on the disc and of every writer's walk through the project.
// File i always has Index i, Number i + 1 and Id FormatNumber4(i + 1).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "lib/text.h"
#include "model/mpeg_file.h"

class TMpegFiles {
public:
    TMpegFiles();
    ~TMpegFiles();
    TMpegFiles(const TMpegFiles&) = delete;
    TMpegFiles& operator=(const TMpegFiles&) = delete;

    int Count() const { return static_cast<int>(Files.size()); }
    TMpegFile* Get(int i) const;  // nothing when out of range
    int SequenceCount() const { return Sequences; }
    int SegmentCount() const { return Segments; }

    bool AcceptFiles = true;
    int NbMaxFiles() const { return MaxFiles; }
    void SetNbMaxFiles(int value) { MaxFiles = value < 0 ? -1 : value; }  // -1: no limit

    // Raises OnAddRequest; the list itself adds nothing.
    void RequestAdd(const TStringList& paths);
    // Takes the file; returns it, or nothing when refused (no file, or the
    // list already holds NbMaxFiles files), in which case it is freed.
    TMpegFile* Add(std::unique_ptr<TMpegFile> file);
    void Delete(int i);
    void Move(int from, int to);
    void Clear();
    void UpdateNotify(bool force);
    bool Changed() const { return ChangedFlag; }

    TStringList SequencePaths() const;
    TStringList SegmentPaths() const;
    // Disc size estimates as decimal texts; an estimate too big for 32 bits
    // shows "Too big total size... by far..." and gives an empty list.
    TStringList SequenceSizes() const;
    TStringList SegmentSizes() const;
    // 0 after showing "Too big total size... by far..." when it overflows.
    std::int32_t TotalSequenceSize() const;
    int StillCount() const;  // by the kind now, not at add time

    // The three special selections of playback control.
    TPbcSelection& DisabledSelection() const { return ::DisabledSelection(); }
    TPbcSelection& EndSelection() const { return ::EndSelection(); }
    TPbcSelection& ItselfSelection() const { return ::ItselfSelection(); }

    std::function<void(TMpegFiles& sender, const TStringList& paths)> OnAddRequest;
    std::function<void(TMpegFiles& sender)> OnClearNotify;
    std::function<void(TMpegFiles& sender, TMpegFile& file)> OnNewNotify;
    std::function<void(TMpegFiles& sender, TMpegFile& file)> OnDeleteNotify;       // before the file is freed
    std::function<void(TMpegFiles& sender, int index1, int index2)> OnSwapNotify;  // never raised
    std::function<void(TMpegFiles& sender, int from, int to)> OnMoveNotify;
    std::function<void(TMpegFiles& sender)> OnUpdateNotify;

private:
    TStringList SizesOf(bool sequences) const;

    std::vector<std::unique_ptr<TMpegFile>> Files;
    int Sequences = 0;
    int Segments = 0;
    int MaxFiles = DefaultMaxFiles;
    bool ChangedFlag = false;
};

// The automatic previous, next and timeout targets of every selection of the
// project, in one pass over all files and entries.
void UpdateAllSelections_NextPrevTimeout(TMpegFiles& files);
// Drops every reference to `target` from every selection of the project.
void UpdateAllSelections_CleanReferencesTo(TMpegFiles& files, const TPbcSelection& target);

// Registers the refresh of a project list as the navigation callbacks for its
// lifetime (the way the navigation page does), restoring the earlier ones.
class TNavigationRegistration {
public:
    explicit TNavigationRegistration(TMpegFiles& files);
    ~TNavigationRegistration();
    TNavigationRegistration(const TNavigationRegistration&) = delete;
    TNavigationRegistration& operator=(const TNavigationRegistration&) = delete;

private:
    TNavigationCallbacks Saved;
};
