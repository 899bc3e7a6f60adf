// One playback-control node: what the remote's keys and the end of play do
// for one entry point. Every target is a reference, never owned; a target
// stays automatic until the user chooses it, so the automatic rules only
// touch what the user left alone.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

class TMpegFile;

enum class TEntryKind : std::uint8_t { SequenceStart = 0, Chapter = 1, Segment = 2 };

enum class TNumericMode : std::uint8_t { None = 0, Automatic = 1, Custom = 2 };

inline constexpr int NumericKeyCount = 99;

// Project defaults that new and reset selections take: the "WaitTime" and
// "IncludeNumKeyForChapters" settings.
struct TPbcDefaults {
    int WaitTime = 2;
    bool NumericKeysByDefault = true;
};
TPbcDefaults& PbcDefaults();

class TPbcSelection {
public:
    // Fills the selection's numeric keys with the automatic assignment.
    using TDefaultKeysProvider = std::function<void(TPbcSelection& selection)>;

    explicit TPbcSelection(TMpegFile* owner, TDefaultKeysProvider provider = {});
    ~TPbcSelection();
    TPbcSelection(const TPbcSelection&) = delete;
    TPbcSelection& operator=(const TPbcSelection&) = delete;

    TMpegFile* Owner() const { return OwnerFile; }
    TEntryKind EntryKind() const { return Kind; }
    const std::string& PlayItemId() const { return PlayItem; }
    const std::string& Caption() const { return CaptionText; }
    const std::string& SelectionId() const { return SelectionIdText; }
    const std::string& DefaultEntryId() const { return DefaultEntry; }

    void SetEntryKind(TEntryKind kind);
    void SetPlayItemId(const std::string& id) { PlayItem = id; }
    void SetCaption(const std::string& caption) { CaptionText = caption; }
    void SetSelectionId(const std::string& id) { SelectionIdText = id; }
    void SetDefaultEntryId(const std::string& id) { DefaultEntry = id; }

    TPbcSelection* PrevTarget() const { return Prev; }
    TPbcSelection* NextTarget() const { return Next; }
    TPbcSelection* ReturnTarget() const { return Return; }
    TPbcSelection* DefaultKeyTarget() const { return DefaultKey; }
    TPbcSelection* TimeoutTarget() const { return Timeout; }
    int WaitTime() const { return Wait; }
    bool PrevAuto() const { return PrevIsAuto; }
    bool NextAuto() const { return NextIsAuto; }
    bool ReturnAuto() const { return ReturnIsAuto; }
    bool DefaultKeyAuto() const { return DefaultKeyIsAuto; }
    bool TimeoutAuto() const { return TimeoutIsAuto; }
    bool WaitAuto() const { return WaitIsAuto; }

    // The user's choices: the value stops being automatic.
    void SetPrev(TPbcSelection* target);
    void SetNext(TPbcSelection* target);
    void SetReturn(TPbcSelection* target);
    void SetDefaultKey(TPbcSelection* target);
    void SetTimeout(TPbcSelection* target);  // nothing means the end selection
    void SetWaitTime(int seconds);           // any negative value waits forever (-1)

    // The automatic rules: they change a value only while it is automatic.
    void SetAutoPrev(TPbcSelection* target);
    void SetAutoNext(TPbcSelection* target);
    void SetAutoReturn(TPbcSelection* target);
    void SetAutoDefaultKey(TPbcSelection* target);
    void SetAutoTimeout(TPbcSelection* target);
    void SetAutoWaitTime(int seconds);

    bool JumpImmediate() const { return Immediate; }
    void SetJumpImmediate(bool value);  // a still always acts at once
    int LoopCount() const { return Loops; }
    void SetLoopCount(int count);  // a still plays once; negative means forever (0)

    TNumericMode NumericMode() const { return Mode; }
    void SetNumericMode(TNumericMode mode);
    bool HasNumericKeys() const { return Mode != TNumericMode::None; }
    bool NumericAutomatic() const { return Mode == TNumericMode::Automatic; }
    bool NumericCustom() const { return Mode == TNumericMode::Custom; }
    void RecomputeNumericKeys();
    // Keys 1 to 99; other keys have no target and cannot be set.
    TPbcSelection* NumericKey(int key) const;
    void SetNumericKey(int key, TPbcSelection* target);

    void ResetToDefaults();
    // Every target and numeric key that equals `target` loses it.
    void DropReferencesTo(const TPbcSelection* target);

private:
    struct TSpecialTag {};
    friend struct TSpecialSelections;
    explicit TPbcSelection(TSpecialTag);

    // Points a target slot elsewhere and keeps the back references in step,
    // so that a destroyed selection finds every selection that refers to it.
    void Point(TPbcSelection*& slot, TPbcSelection* target);
    void ClearOutgoing();

    TMpegFile* OwnerFile = nullptr;
    TEntryKind Kind = TEntryKind::SequenceStart;
    std::string PlayItem;
    std::string CaptionText;
    std::string SelectionIdText;
    std::string DefaultEntry;
    TPbcSelection* Prev = nullptr;
    TPbcSelection* Next = nullptr;
    TPbcSelection* Return = nullptr;
    TPbcSelection* DefaultKey = nullptr;
    TPbcSelection* Timeout = nullptr;
    bool PrevIsAuto = true;
    bool NextIsAuto = true;
    bool ReturnIsAuto = true;
    bool DefaultKeyIsAuto = true;
    bool TimeoutIsAuto = true;
    bool WaitIsAuto = true;
    int Wait = 0;
    bool Immediate = true;
    int Loops = 1;
    TNumericMode Mode = TNumericMode::None;
    TDefaultKeysProvider DefaultKeysProvider;
    std::array<TPbcSelection*, NumericKeyCount> Keys{};
    // Selections that point at this one, with how many of their slots do.
    std::unordered_map<TPbcSelection*, int> Referrers;
};

// The three selections without owner, one set for the whole program:
// "Event Disabled" (the key does nothing), the end list "Selection-end"
// (caption "VideoCD END") and "Itself" (the selection's own id).
TPbcSelection& DisabledSelection();
TPbcSelection& EndSelection();
TPbcSelection& ItselfSelection();
bool IsSpecialSelection(const TPbcSelection* selection);

// The navigation refresh shared by the whole model. The navigation page
// registers the two callbacks; bulk changes suspend the refresh with the
// counter and request it once at the end.
struct TNavigationCallbacks {
    std::function<void()> UpdateAllSelections_NextPrevTimeout;
    // Told about every selection being destroyed. The selection has already
    // dropped every reference to itself by then.
    std::function<void(TPbcSelection& selection)> UpdateAllSelections_CleanReferencesTo;
};
void RegisterNavigationCallbacks(TNavigationCallbacks callbacks);
const TNavigationCallbacks& NavigationCallbacks();

void BeginNavigationUpdate();
void EndNavigationUpdate();  // never below zero
int NavigationUpdateCount();
// Runs the next/previous/timeout update when forced or not suspended.
void RequestNavigationRefresh(const void* sender, bool force);

// Suspends the refresh for its lifetime and requests it once at the end.
class TNavigationUpdateScope {
public:
    TNavigationUpdateScope() { BeginNavigationUpdate(); }
    ~TNavigationUpdateScope() {
        EndNavigationUpdate();
        RequestNavigationRefresh(this, false);
    }
    TNavigationUpdateScope(const TNavigationUpdateScope&) = delete;
    TNavigationUpdateScope& operator=(const TNavigationUpdateScope&) = delete;
};
