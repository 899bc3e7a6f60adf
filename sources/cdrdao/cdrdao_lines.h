// What cdrdao prints, one line at a time: the cleaning and classification of
// its lines, its progress lines and its device lines. Pure functions, so that
// a table of real cdrdao lines can test them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Runs of blanks shrunk to one blank.
std::string CollapseBlanks(std::string text);

// What the filter remembers from one line to the next within one run.
struct TCdrdaoFilterState {
    bool UsageSeen = false;        // cdrdao printed its usage text
    bool DriverErrorSeen = false;  // no driver fits the device; its driver list follows
    int NotReadyCount = 0;         // "Unit not ready, still trying" lines
};

struct TCdrdaoLine {
    std::string Text;           // the cleaned line; empty: dropped
    std::string ErrorText;      // for an error line: the text without its "ERROR"
    bool DiscRequired = false;  // cdrdao waits for a disc
    bool GaveUp = false;        // cdrdao gave up waiting for a disc
};

// Cleans one raw line. `isWrite`: the line comes from a write, which never
// counts missing-disc lines.
TCdrdaoLine FilterCdrdaoLine(std::string_view raw, TCdrdaoFilterState& state, bool isWrite);

// Replaces cdrdao's status phrases by their translations.
std::string TranslateCdrdaoLine(const std::string& line);

struct TCdrdaoProgress {
    std::string Message;
    int Position = 0;
};

// A write progress line ("Wrote 10 of 600 MB (Buffers 100% 96%)." or, for the
// lead-out, "Wrote 15 of 15 MB."); nothing for any other line.
std::optional<TCdrdaoProgress> CdrdaoWriteProgress(const std::string& line);

// The "mm:ss" of a time "mm:ss:ff" and its seconds; nothing when it is not one.
struct TCdTime {
    std::string Text;
    int Seconds = 0;
};
// The disc length from cdrdao's lead-out line of the table of contents.
std::optional<TCdTime> CdrdaoLeadoutLength(const std::string& line);
// A read progress line "mm:ss:ff" against the disc length (0: unknown).
std::optional<TCdrdaoProgress> CdrdaoReadProgress(const std::string& line, const TCdTime& length);

// A device line of cdrdao's scan: "/dev/sr0 : VENDOR, PRODUCT, REV" (on other
// systems "0,1,0 : VENDOR, PRODUCT, REV"); after cleaning the blank before the
// colon is gone.
bool IsCdrdaoDeviceLine(const std::string& line);
// The device option of a device entry: the node (or bus address) before the colon.
std::string CdrdaoDeviceOfEntry(const std::string& entry);
