#include "model/pbc_selection.h"

#include <utility>

struct TSpecialSelections {
    TPbcSelection Disabled{TPbcSelection::TSpecialTag{}};
    TPbcSelection End{TPbcSelection::TSpecialTag{}};
    TPbcSelection Itself{TPbcSelection::TSpecialTag{}};

    TSpecialSelections() {
        Disabled.SetPlayItemId("Event Disabled");
        Disabled.SetCaption("Event Disabled");
        End.SetPlayItemId("Selection-end");
        End.SetCaption("VideoCD END");
        End.SetSelectionId("Selection-end");
        Itself.SetPlayItemId("Itself");
        Itself.SetCaption("Itself");
    }
};

namespace {

// Created on first use and kept to the very end of the process, so that no
// selection outlives the targets it may point at.
TSpecialSelections& Specials() {
    static auto* specials = new TSpecialSelections;
    return *specials;
}

struct TNavigationState {
    TNavigationCallbacks Callbacks;
    int Suspended = 0;
    bool Refreshing = false;
};

TNavigationState& Navigation() {
    static auto* state = new TNavigationState;
    return *state;
}

}  // namespace

TPbcDefaults& PbcDefaults() {
    static TPbcDefaults defaults;
    return defaults;
}

TPbcSelection& DisabledSelection() { return Specials().Disabled; }
TPbcSelection& EndSelection() { return Specials().End; }
TPbcSelection& ItselfSelection() { return Specials().Itself; }

bool IsSpecialSelection(const TPbcSelection* selection) {
    return selection == &DisabledSelection() || selection == &EndSelection() || selection == &ItselfSelection();
}

TPbcSelection::TPbcSelection(TSpecialTag) {}

TPbcSelection::TPbcSelection(TMpegFile* owner, TDefaultKeysProvider provider)
    : OwnerFile(owner), DefaultKeysProvider(std::move(provider)) {
    Point(Timeout, &EndSelection());
}

TPbcSelection::~TPbcSelection() {
    ClearOutgoing();
    while (!Referrers.empty()) Referrers.begin()->first->DropReferencesTo(this);
    const auto& clean = Navigation().Callbacks.UpdateAllSelections_CleanReferencesTo;
    if (clean) clean(*this);
}

void TPbcSelection::Point(TPbcSelection*& slot, TPbcSelection* target) {
    if (slot == target) return;
    if (slot) {
        auto found = slot->Referrers.find(this);
        if (found != slot->Referrers.end() && --found->second == 0) slot->Referrers.erase(found);
    }
    slot = target;
    if (target) ++target->Referrers[this];
}

void TPbcSelection::ClearOutgoing() {
    for (TPbcSelection** slot : {&Prev, &Next, &Return, &DefaultKey, &Timeout}) Point(*slot, nullptr);
    for (auto& key : Keys) Point(key, nullptr);
}

void TPbcSelection::SetEntryKind(TEntryKind kind) {
    Kind = kind;
    SetJumpImmediate(Immediate);
    SetLoopCount(Loops);
}

void TPbcSelection::SetPrev(TPbcSelection* target) {
    PrevIsAuto = false;
    Point(Prev, target);
}

void TPbcSelection::SetNext(TPbcSelection* target) {
    NextIsAuto = false;
    Point(Next, target);
}

void TPbcSelection::SetReturn(TPbcSelection* target) {
    ReturnIsAuto = false;
    Point(Return, target);
}

void TPbcSelection::SetDefaultKey(TPbcSelection* target) {
    DefaultKeyIsAuto = false;
    Point(DefaultKey, target);
}

void TPbcSelection::SetTimeout(TPbcSelection* target) {
    TimeoutIsAuto = false;
    Point(Timeout, target ? target : &EndSelection());
}

void TPbcSelection::SetWaitTime(int seconds) {
    WaitIsAuto = false;
    Wait = seconds < 0 ? -1 : seconds;
}

void TPbcSelection::SetAutoPrev(TPbcSelection* target) {
    if (PrevIsAuto) Point(Prev, target);
}

void TPbcSelection::SetAutoNext(TPbcSelection* target) {
    if (NextIsAuto) Point(Next, target);
}

void TPbcSelection::SetAutoReturn(TPbcSelection* target) {
    if (ReturnIsAuto) Point(Return, target);
}

void TPbcSelection::SetAutoDefaultKey(TPbcSelection* target) {
    if (DefaultKeyIsAuto) Point(DefaultKey, target);
}

void TPbcSelection::SetAutoTimeout(TPbcSelection* target) {
    if (TimeoutIsAuto) Point(Timeout, target ? target : &EndSelection());
}

void TPbcSelection::SetAutoWaitTime(int seconds) {
    if (WaitIsAuto) Wait = seconds < 0 ? -1 : seconds;
}

void TPbcSelection::SetJumpImmediate(bool value) { Immediate = Kind == TEntryKind::Segment ? true : value; }

void TPbcSelection::SetLoopCount(int count) {
    if (Kind == TEntryKind::Segment)
        Loops = 1;
    else
        Loops = count < 0 ? 0 : count;
}

void TPbcSelection::SetNumericMode(TNumericMode mode) {
    if (mode == Mode) return;
    Mode = mode;
    if (mode != TNumericMode::Custom) RecomputeNumericKeys();
}

void TPbcSelection::RecomputeNumericKeys() {
    if (Mode == TNumericMode::Custom) return;
    if (DefaultKeysProvider) {
        DefaultKeysProvider(*this);
        return;
    }
    for (auto& key : Keys) Point(key, nullptr);
}

TPbcSelection* TPbcSelection::NumericKey(int key) const {
    if (key < 1 || key > NumericKeyCount) return nullptr;
    return Keys[static_cast<std::size_t>(key - 1)];
}

void TPbcSelection::SetNumericKey(int key, TPbcSelection* target) {
    if (key < 1 || key > NumericKeyCount) return;
    Point(Keys[static_cast<std::size_t>(key - 1)], target);
}

void TPbcSelection::ResetToDefaults() {
    const TPbcDefaults& defaults = PbcDefaults();
    SetNumericMode(defaults.NumericKeysByDefault ? TNumericMode::Automatic : TNumericMode::None);
    PrevIsAuto = NextIsAuto = ReturnIsAuto = DefaultKeyIsAuto = TimeoutIsAuto = WaitIsAuto = true;
    SetDefaultKey(nullptr);
    SetReturn(&EndSelection());
    SetAutoWaitTime(defaults.WaitTime);
    SetJumpImmediate(true);
    SetLoopCount(1);
    RequestNavigationRefresh(this, false);
    RecomputeNumericKeys();
}

void TPbcSelection::DropReferencesTo(const TPbcSelection* target) {
    if (!target) return;
    for (TPbcSelection** slot : {&Prev, &Next, &Return, &DefaultKey, &Timeout})
        if (*slot == target) Point(*slot, nullptr);
    for (auto& key : Keys)
        if (key == target) Point(key, nullptr);
}

void RegisterNavigationCallbacks(TNavigationCallbacks callbacks) { Navigation().Callbacks = std::move(callbacks); }

const TNavigationCallbacks& NavigationCallbacks() { return Navigation().Callbacks; }

void BeginNavigationUpdate() { ++Navigation().Suspended; }

void EndNavigationUpdate() {
    auto& state = Navigation();
    if (state.Suspended > 0) --state.Suspended;
}

int NavigationUpdateCount() { return Navigation().Suspended; }

void RequestNavigationRefresh(const void*, bool force) {
    auto& state = Navigation();
    if (!force && state.Suspended != 0) return;
    // The update itself changes selections; it must not start itself again.
    if (state.Refreshing || !state.Callbacks.UpdateAllSelections_NextPrevTimeout) return;
    state.Refreshing = true;
    try {
        state.Callbacks.UpdateAllSelections_NextPrevTimeout();
    } catch (...) {
        state.Refreshing = false;
        throw;
    }
    state.Refreshing = false;
}
