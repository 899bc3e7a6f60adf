#include "model/mpeg_files.h"

#include <algorithm>
#include <limits>

#include "services/services.h"
#include "settings/language.h"

namespace {

void ShowTooBigTotalSize() {
    std::string message = "\r";
    message += Translate("Too big total size... by far...");
    message += "   ";
    Dialogs().MessageDlg(message, TMsgDlgType::Error, mbOK);
}

}  // namespace

TMpegFiles::TMpegFiles() { Files.reserve(300); }

TMpegFiles::~TMpegFiles() {
    // Last file first, so that nothing is renumbered on the way out.
    while (!Files.empty()) Files.pop_back();
}

TMpegFile* TMpegFiles::Get(int i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return Files[static_cast<std::size_t>(i)].get();
}

void TMpegFiles::RequestAdd(const TStringList& paths) {
    if (OnAddRequest) OnAddRequest(*this, paths);
}

TMpegFile* TMpegFiles::Add(std::unique_ptr<TMpegFile> file) {
    if (!file || (MaxFiles >= 0 && Count() >= MaxFiles)) return nullptr;
    TMpegFile* added = file.get();
    Files.push_back(std::move(file));
    if (added->IsSequence())
        ++Sequences;
    else
        ++Segments;
    added->SetIndex(Count() - 1);
    // After the file is in place, so that its selections take part.
    RequestNavigationRefresh(this, false);
    if (OnNewNotify) OnNewNotify(*this, *added);
    ChangedFlag = true;
    return added;
}

void TMpegFiles::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    const auto at = Files.begin() + i;
    std::unique_ptr<TMpegFile> file = std::move(*at);
    if (file->IsSequence())
        --Sequences;
    else
        --Segments;
    Files.erase(at);
    for (int position = i; position < Count(); ++position)
        Files[static_cast<std::size_t>(position)]->SetIndex(position);
    RequestNavigationRefresh(this, false);
    if (OnDeleteNotify) OnDeleteNotify(*this, *file);
    file.reset();
    ChangedFlag = true;
}

void TMpegFiles::Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count()) return;
    const auto first = Files.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    for (int position = std::min(from, to); position <= std::max(from, to); ++position)
        Files[static_cast<std::size_t>(position)]->SetIndex(position);
    RequestNavigationRefresh(this, false);
    if (OnMoveNotify) OnMoveNotify(*this, from, to);
    ChangedFlag = true;
}

void TMpegFiles::Clear() {
    Sequences = 0;
    Segments = 0;
    while (!Files.empty()) Files.pop_back();
    Files.shrink_to_fit();
    Files.reserve(static_cast<std::size_t>(MaxFiles < 0 ? 100 : std::min(MaxFiles, 100)));
    RequestNavigationRefresh(this, false);
    if (OnClearNotify) OnClearNotify(*this);
}

void TMpegFiles::UpdateNotify(bool force) {
    if (!force && !ChangedFlag) return;
    ChangedFlag = false;
    if (OnUpdateNotify) OnUpdateNotify(*this);
}

TStringList TMpegFiles::SequencePaths() const {
    TStringList paths;
    for (const auto& file : Files)
        if (file->IsSequence()) paths.push_back(file->FullPath());
    return paths;
}

TStringList TMpegFiles::SegmentPaths() const {
    TStringList paths;
    for (const auto& file : Files)
        if (file->IsStill()) paths.push_back(file->FullPath());
    return paths;
}

TStringList TMpegFiles::SizesOf(bool sequences) const {
    TStringList sizes;
    try {
        for (const auto& file : Files) {
            const bool wanted = sequences ? file->IsSequence() : file->IsStill();
            if (wanted) sizes.push_back(std::to_string(EstimateDiscSize(file->Size(), file->IsSequence())));
        }
    } catch (const EDiscSizeOverflow&) {
        ShowTooBigTotalSize();
        return {};
    }
    return sizes;
}

TStringList TMpegFiles::SequenceSizes() const { return SizesOf(true); }

TStringList TMpegFiles::SegmentSizes() const { return SizesOf(false); }

std::int32_t TMpegFiles::TotalSequenceSize() const {
    std::int64_t total = 0;
    try {
        for (const auto& file : Files) {
            if (!file->IsSequence()) continue;
            total += EstimateDiscSize(file->Size(), true);
            if (total > std::numeric_limits<std::int32_t>::max()) throw EDiscSizeOverflow();
        }
    } catch (const EDiscSizeOverflow&) {
        ShowTooBigTotalSize();
        return 0;
    }
    return static_cast<std::int32_t>(total);
}

int TMpegFiles::StillCount() const {
    return static_cast<int>(
        std::count_if(Files.begin(), Files.end(), [](const auto& file) { return file->IsStill(); }));
}

void UpdateAllSelections_NextPrevTimeout(TMpegFiles& files) {
    if (files.Count() == 0 || files.Get(0)->EntryPoints().Count() == 0) return;
    TPbcSelection* const end = &EndSelection();

    std::vector<TPbcSelection*> flat;
    std::vector<TPbcSelection*> firsts;
    std::vector<std::size_t> fileStarts;  // position of each file's first entry in `flat`
    for (int p = 0; p < files.Count(); ++p) {
        const TEntryPointsList& entries = files.Get(p)->EntryPoints();
        fileStarts.push_back(flat.size());
        for (int e = 0; e < entries.Count(); ++e) flat.push_back(entries.SelectionAt(e));
        firsts.push_back(entries.Count() > 0 ? entries.SelectionAt(0) : end);
    }
    firsts.push_back(end);

    for (std::size_t i = 0; i < flat.size(); ++i) {
        flat[i]->SetAutoNext(i + 1 < flat.size() ? flat[i + 1] : end);
        flat[i]->SetAutoPrev(i > 0 ? flat[i - 1] : end);
    }
    for (std::size_t p = 0; p < fileStarts.size(); ++p) {
        const std::size_t stop = p + 1 < fileStarts.size() ? fileStarts[p + 1] : flat.size();
        for (std::size_t i = fileStarts[p]; i < stop; ++i) flat[i]->SetAutoTimeout(firsts[p + 1]);
        // Previous on the start of a file goes to the start of the file before.
        if (p > 0 && fileStarts[p] < stop) flat[fileStarts[p]]->SetAutoPrev(firsts[p - 1]);
    }
}

void UpdateAllSelections_CleanReferencesTo(TMpegFiles& files, const TPbcSelection& target) {
    for (int p = 0; p < files.Count(); ++p) {
        const TEntryPointsList& entries = files.Get(p)->EntryPoints();
        for (int e = 0; e < entries.Count(); ++e) entries.SelectionAt(e)->DropReferencesTo(&target);
    }
}

TNavigationRegistration::TNavigationRegistration(TMpegFiles& files) : Saved(NavigationCallbacks()) {
    // Destroyed selections drop their references themselves; nothing to add.
    RegisterNavigationCallbacks({[&files] { UpdateAllSelections_NextPrevTimeout(files); }, {}});
}

TNavigationRegistration::~TNavigationRegistration() { RegisterNavigationCallbacks(Saved); }
