// The entry points of one MPEG file (its start and, for a motion video, its
// chapters), each with its playback-control selection; the H:MM:SS.mmm time
// texts they are keyed by; and the integer list that holds APS times.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "lib/text.h"
#include "model/pbc_selection.h"

class TMpegFile;

// The time of the start entry of every file.
inline constexpr const char* StartTimeText = "0:00:00.000";
// Edit mask of the time entry fields: separators kept, "0" as blank.
inline constexpr const char* TimeTextEditMask = "9\\:99\\:99\\.999;1;0";

bool IsValidTimeText(std::string_view text);
std::string TimeTextToSecondsText(std::string_view text);  // "0:01:05.500" -> "65.500"
std::int64_t TimeTextToMs(std::string_view text);
std::string MsToTimeText(std::int64_t ms);
std::string SecondsTextToTimeText(std::string_view seconds);
// Other tools' notations (HH:MM:SS:cc, HH:MM:SS.cc, MM:SS,cc, HH:MM:SS,cc)
// turned into a time text before pasting; anything else unchanged.
std::string PastedTimeText(std::string_view clipboard);

// What a time field does with a typed text: a tens digit of minutes or
// seconds above 5 becomes "0". Returns the 0-based position that was mended
// (the field beeps and selects it), or -1.
int MendTypedTimeText(std::string& text);

class TIntegerList {
public:
    int Count() const { return static_cast<int>(Values.size()); }
    std::int32_t Get(int i) const { return Values[static_cast<std::size_t>(i)]; }
    int IndexOf(std::int32_t value) const;
    bool Contains(std::int32_t value) const { return Present.count(value) != 0; }
    void Add(std::int32_t value);
    void Sort();
    void Clear();
    const std::vector<std::int32_t>& Items() const { return Values; }

private:
    std::vector<std::int32_t> Values;
    std::unordered_set<std::int32_t> Present;
};

class TEntryPointsList {
public:
    TEntryPointsList(TMpegFile* owner, bool isSequence, int firstNumericKey, std::string captionName, int number);
    ~TEntryPointsList();
    TEntryPointsList(const TEntryPointsList&) = delete;
    TEntryPointsList& operator=(const TEntryPointsList&) = delete;

    void Clear();
    int Count() const { return static_cast<int>(Entries.size()); }
    TStringList Texts() const;
    int IndexOf(std::string_view timeText) const;
    TPbcSelection* SelectionAt(int i) const;
    std::string TimeAt(int i) const;

    // Adds a time with a new selection carrying the project defaults, or
    // finds it when it is already there; returns its position.
    int Add(const std::string& timeText, bool isSequence);
    void Delete(int i);
    void Resort();
    void Refresh() { Renumber(Number, IsSequence); }
    // Rewrites identifiers, entry kinds and captions for this file number.
    void Renumber(int number, bool isSequence);

    int FirstNumericKey() const { return FirstKey; }
    void SetFirstNumericKey(int key);
    void RecomputeNumericKeys();
    // The automatic numeric keys of a selection of this list: keys below the
    // first key have no target, key k then selects entry k - first key.
    void DefaultNumericKeys(TPbcSelection& selection) const;

    TMpegFile* Owner() const { return OwnerFile; }
    int FileNumber() const { return Number; }
    bool IsSequenceList() const { return IsSequence; }
    const std::string& CaptionName() const { return Caption; }

private:
    struct TEntry {
        std::string Time;
        std::unique_ptr<TPbcSelection> Selection;
    };
    std::vector<TEntry>::const_iterator Find(std::string_view timeText) const;
    void Sort();

    TMpegFile* OwnerFile;
    std::vector<TEntry> Entries;
    int Number = 0;
    bool IsSequence = true;
    std::string Caption;
    int FirstKey = 1;
};
