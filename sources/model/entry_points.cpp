#include "model/entry_points.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "model/video_cd.h"

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }

// A whole decimal number, or 0 for anything else (also on overflow).
std::int64_t NumberOrZero(std::string_view text) {
    if (!AllDigits(text)) return 0;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

// Characters `from` to `to` of a text, counted from 1 as the notations are.
std::string_view Chars(std::string_view text, std::size_t from, std::size_t to) {
    return text.substr(from - 1, to - from + 1);
}

// Checks a text against a pattern of literal separators and "d" for a digit
// ("?" for any character).
bool Matches(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] == 'd') {
            if (!IsDigit(text[i])) return false;
        } else if (pattern[i] != '?' && pattern[i] != text[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsValidTimeText(std::string_view text) { return Matches(text, "d:dd:dd.ddd"); }

std::string TimeTextToSecondsText(std::string_view text) {
    const std::size_t firstColon = text.find(':');
    const std::size_t secondColon = firstColon == std::string_view::npos ? firstColon : text.find(':', firstColon + 1);
    const std::size_t dot = text.find('.', secondColon == std::string_view::npos ? 0 : secondColon);
    auto field = [&](std::size_t from, std::size_t to) {
        if (from == std::string_view::npos || from > text.size()) return std::int64_t{0};
        return NumberOrZero(text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
    };
    const std::int64_t hours = field(0, firstColon);
    const std::int64_t minutes = firstColon == std::string_view::npos ? 0 : field(firstColon + 1, secondColon);
    const std::int64_t seconds = secondColon == std::string_view::npos ? 0 : field(secondColon + 1, dot);
    const std::int64_t millis = dot == std::string_view::npos ? 0 : field(dot + 1, std::string_view::npos);
    return std::to_string(hours * 3600 + minutes * 60 + seconds) + "." + ZeroPad(millis, 3);
}

std::int64_t TimeTextToMs(std::string_view text) {
    const std::string seconds = TimeTextToSecondsText(text);
    return NumberOrZero(ReplaceAll(seconds, ".", ""));
}

std::string MsToTimeText(std::int64_t ms) {
    if (ms < 0) ms = 0;
    return SecondsTextToTimeText(std::to_string(ms / 1000) + "." + ZeroPad(ms % 1000, 3));
}

std::string SecondsTextToTimeText(std::string_view seconds) {
    const std::size_t dot = seconds.find('.');
    const std::int64_t whole = NumberOrZero(seconds.substr(0, dot));
    // The fraction is read as the decimal it is: ".5" is 500 ms, and digits
    // beyond the milliseconds are cut.
    std::string fraction;
    if (dot != std::string_view::npos && AllDigits(seconds.substr(dot + 1)))
        fraction = std::string(seconds.substr(dot + 1));
    fraction = (fraction + "000").substr(0, 3);
    return std::to_string(whole / 3600) + ":" + ZeroPad(whole % 3600 / 60, 2) + ":" + ZeroPad(whole % 60, 2) + "." +
           fraction;
}

std::string PastedTimeText(std::string_view clipboard) {
    const std::string_view t = clipboard;
    if (Matches(t, "dd:dd:dd:dd")) return std::string(Chars(t, 2, 8)) + "." + std::string(Chars(t, 10, 11)) + "0";
    if (Matches(t, "??:??:??.??")) return std::string(Chars(t, 2, 11)) + "0";
    if (Matches(t, "??:??,??")) return "0:" + std::string(Chars(t, 1, 5)) + "." + std::string(Chars(t, 7, 8)) + "0";
    if (Matches(t, "??:??:??,??")) return std::string(Chars(t, 2, 8)) + "." + std::string(Chars(t, 10, 11)) + "0";
    return std::string(clipboard);
}

int MendTypedTimeText(std::string& text) {
    for (std::size_t i : {std::size_t{2}, std::size_t{5}}) {
        if (i < text.size() && text[i] >= '6' && text[i] <= '9') {
            text[i] = '0';
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TIntegerList::IndexOf(std::int32_t value) const {
    if (!Contains(value)) return -1;
    const auto found = std::find(Values.begin(), Values.end(), value);
    return static_cast<int>(found - Values.begin());
}

void TIntegerList::Add(std::int32_t value) {
    Values.push_back(value);
    Present.insert(value);
}

void TIntegerList::Sort() { std::sort(Values.begin(), Values.end()); }

void TIntegerList::Clear() {
    Values.clear();
    Present.clear();
}

TEntryPointsList::TEntryPointsList(TMpegFile* owner, bool isSequence, int firstNumericKey, std::string captionName,
                                   int number)
    : OwnerFile(owner), Caption(std::move(captionName)) {
    SetFirstNumericKey(firstNumericKey);
    Renumber(number, isSequence);
}

TEntryPointsList::~TEntryPointsList() { Clear(); }

void TEntryPointsList::Clear() {
    // Freed one by one so that each selection drops the references to itself
    // while the others still exist.
    while (!Entries.empty()) {
        std::unique_ptr<TPbcSelection> selection = std::move(Entries.back().Selection);
        Entries.pop_back();
        selection.reset();
    }
}

TStringList TEntryPointsList::Texts() const {
    TStringList texts;
    texts.reserve(Entries.size());
    for (const auto& entry : Entries) texts.push_back(entry.Time);
    return texts;
}

std::vector<TEntryPointsList::TEntry>::const_iterator TEntryPointsList::Find(std::string_view timeText) const {
    const auto found = std::lower_bound(Entries.begin(), Entries.end(), timeText,
                                        [](const TEntry& entry, std::string_view time) { return entry.Time < time; });
    return found != Entries.end() && found->Time == timeText ? found : Entries.end();
}

int TEntryPointsList::IndexOf(std::string_view timeText) const {
    const auto found = Find(timeText);
    return found == Entries.end() ? -1 : static_cast<int>(found - Entries.begin());
}

TPbcSelection* TEntryPointsList::SelectionAt(int i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return Entries[static_cast<std::size_t>(i)].Selection.get();
}

std::string TEntryPointsList::TimeAt(int i) const {
    if (i < 0 || i >= Count()) return {};
    return Entries[static_cast<std::size_t>(i)].Time;
}

void TEntryPointsList::Sort() {
    std::stable_sort(Entries.begin(), Entries.end(), [](const TEntry& a, const TEntry& b) { return a.Time < b.Time; });
}

int TEntryPointsList::Add(const std::string& timeText, bool isSequence) {
    if (const int existing = IndexOf(timeText); existing >= 0) return existing;

    auto owned = std::make_unique<TPbcSelection>(OwnerFile, [this](TPbcSelection& s) { DefaultNumericKeys(s); });
    TPbcSelection* selection = owned.get();
    const auto at = std::lower_bound(Entries.begin(), Entries.end(), timeText,
                                     [](const TEntry& entry, const std::string& time) { return entry.Time < time; });
    Entries.insert(at, TEntry{timeText, std::move(owned)});
    Renumber(Number, isSequence);
    RequestNavigationRefresh(this, false);

    const TPbcDefaults& defaults = PbcDefaults();
    selection->SetDefaultKey(nullptr);
    selection->SetReturn(&EndSelection());
    selection->SetAutoWaitTime(defaults.WaitTime);
    selection->SetJumpImmediate(true);
    selection->SetLoopCount(1);
    selection->SetNumericMode(defaults.NumericKeysByDefault ? TNumericMode::Automatic : TNumericMode::None);

    RecomputeNumericKeys();
    return IndexOf(timeText);
}

void TEntryPointsList::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    const auto at = Entries.begin() + i;
    std::unique_ptr<TPbcSelection> selection = std::move(at->Selection);
    Entries.erase(at);
    Refresh();
    selection.reset();
    RequestNavigationRefresh(this, false);
    RecomputeNumericKeys();
}

void TEntryPointsList::Resort() {
    Sort();
    Refresh();
    RequestNavigationRefresh(this, false);
    RecomputeNumericKeys();
}

void TEntryPointsList::Renumber(int number, bool isSequence) {
    Number = number;
    IsSequence = isSequence;
    const std::string n = FormatNumber4(number);
    for (std::size_t i = 0; i < Entries.size(); ++i) {
        TPbcSelection& selection = *Entries[i].Selection;
        const std::string& time = Entries[i].Time;
        if (!isSequence && i == 0) {
            selection.SetPlayItemId("Segment-" + n);
            selection.SetDefaultEntryId("Segment-" + n);
            selection.SetEntryKind(TEntryKind::Segment);
            selection.SetCaption(selection.PlayItemId() + " - " + Caption);
            continue;
        }
        if (i == 0) {
            selection.SetPlayItemId("Sequence-" + n + "-01");
            selection.SetDefaultEntryId("   Chapter-" + n + "-01");
            selection.SetEntryKind(TEntryKind::SequenceStart);
        } else {
            selection.SetPlayItemId("   Chapter-" + n + "-" + FormatNumber2(static_cast<int>(i) + 1));
            selection.SetEntryKind(TEntryKind::Chapter);
        }
        selection.SetCaption(selection.PlayItemId() + " - " + time + " - " + Caption);
    }
}

void TEntryPointsList::SetFirstNumericKey(int key) {
    FirstKey = key <= 0 || key >= 100 ? 1 : key;
    RecomputeNumericKeys();
}

void TEntryPointsList::RecomputeNumericKeys() {
    const std::size_t count = std::min<std::size_t>(NumericKeyCount, Entries.size());
    for (std::size_t i = 0; i < count; ++i) Entries[i].Selection->RecomputeNumericKeys();
}

void TEntryPointsList::DefaultNumericKeys(TPbcSelection& selection) const {
    const int first = FirstKey < 1 || FirstKey > NumericKeyCount ? 1 : FirstKey;
    for (int key = 1; key <= NumericKeyCount; ++key)
        selection.SetNumericKey(key, key < first ? nullptr : SelectionAt(key - first));
}
