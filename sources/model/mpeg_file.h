// One MPEG file of the project: a motion video (a disc sequence) or a still
// (a segment). It keeps what the file system says about the file, what the
// analysis found, and the file's entry points with their selections.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "model/entry_points.h"
#include "model/video_cd.h"

// Video stream slots: motion video, still picture, secondary still picture.
inline constexpr int VideoSlotMotion = 0;
inline constexpr int VideoSlotStill = 1;
inline constexpr int VideoSlotSecondStill = 2;
// Audio stream slots: standard, secondary, extended multichannel 5.1.
inline constexpr int AudioSlotStandard = 0;
inline constexpr int AudioSlotSecondary = 1;
inline constexpr int AudioSlotExtended = 2;

struct TVideoStream {
    explicit TVideoStream(int slot);
    std::string Kind;  // "Motion Video", "Still Picture" or "Secondary Still Picture"
    std::string RawHorizontalSize = "?";
    std::string RawVerticalSize = "?";
    std::string RawFrameRate = "?";
    std::string RawBitrate = "?";
    std::string HorizontalSize = "?";
    std::string VerticalSize = "?";
    std::string FrameRate = "?";
    std::string BitrateText = "?";
    TStreamTvSystem TvSystem = TStreamTvSystem::Unknown;
};

struct TAudioStream {
    explicit TAudioStream(int slot);
    std::string Kind;  // "Audio Standard", "Secondary Audio" or "Extended Audio MC 5.1"
    std::string Mode = "?";
    std::string Layer = "?";
    std::string RawSamplingFrequency = "?";
    std::string RawBitrate = "?";
    std::string BitrateText = "?";
    std::string SamplingFrequencyText = "?";
};

// "2520000" -> "2520kbps", "1411200" -> "1411200bps".
std::string BitrateDisplayText(std::string_view raw);
// "48000" -> "48KHz", "44100" -> "44100Hz".
std::string SamplingFrequencyDisplayText(std::string_view raw);
// "25.000000" -> "25"; "29.970030" -> "29.97003".
std::string FrameRateDisplayText(std::string_view raw);
// "stereo" -> "Stereo", ... anything unknown -> "Invalid".
std::string AudioModeDisplayText(std::string_view mode);
// Seconds with exactly three decimals, cut not rounded, and the same time as
// milliseconds in digits: "125.480000" -> {"125.480", "125480"}.
struct TNormalisedTime {
    std::string Seconds;
    std::string Milliseconds;
};
TNormalisedTime NormaliseTime(std::string_view raw);

class TMpegFile {
public:
    TMpegFile(const std::string& path, bool isMotionVideo);
    ~TMpegFile();
    TMpegFile(const TMpegFile&) = delete;
    TMpegFile& operator=(const TMpegFile&) = delete;

    // Identity: the position in the project list and what follows from it.
    int Index() const { return IndexValue; }
    const std::string& Id() const { return IdText; }  // "0001" for the first file
    int Number() const { return IndexValue + 1; }
    void SetIndex(int index);

    const std::string& FileName() const { return Name; }
    const std::string& FullPath() const { return Path; }
    const std::string& Directory() const { return Folder; }  // with a trailing "/", or empty
    // 64 bits: a file above 2 GiB must not turn into a negative size.
    std::int64_t Size() const { return SizeBytes; }
    std::int32_t FileTime() const { return DosTime; }  // DOS date and time
    const std::string& Crc() const { return CrcText; }
    const std::string& DateText() const { return Date; }
    const std::string& TimeText() const { return Time; }
    int IconIndex() const { return Icon; }
    int SelectedIconIndex() const { return SelectedIcon; }
    void SetIconIndexes(int normal, int selected);

    // Kind.
    bool SequenceFlag() const { return Sequence; }
    void SetSequenceFlag(bool value);  // only before the analysis; resets the entry points
    bool IsSequence() const;
    bool IsStill() const;
    bool IsAudioOnly() const;

    int FirstNumericKey() const { return FirstKey; }
    void SetFirstNumericKey(int key);

    // Analysis results.
    void ResetAnalysis();
    bool Analysed() const { return AnalysedFlag; }
    void SetAnalysed(bool value) { AnalysedFlag = value; }
    bool ScanOffsetsHint() const { return ScanOffsets; }
    void SetScanOffsetsHint(bool value) { ScanOffsets = value; }
    const std::string& PaddingWarning() const { return Padding; }
    const std::string& AutopaddingWarning() const { return Autopadding; }
    const std::string& BadPacketWarning() const { return BadPacket; }
    const std::string& UserDataWarning() const { return UserData; }
    void SetPaddingWarning(const std::string& text) { Padding = text; }
    void SetAutopaddingWarning(const std::string& text) { Autopadding = text; }
    void SetBadPacketWarning(const std::string& text) { BadPacket = text; }
    void SetUserDataWarning(const std::string& text) { UserData = text; }
    double PlayerFrameRate() const { return PlayerRate; }
    void SetPlayerFrameRate(double value) { PlayerRate = value; }

    const std::string& RawMpegVersion() const { return RawVersion; }
    const std::string& RawPlayingTime() const { return RawTime; }
    const std::string& RawPtsOffset() const { return RawOffset; }
    const std::string& RawPackets() const { return RawPacketCount; }
    const std::string& RawBitrate() const { return RawRate; }
    const std::string& MpegVersion() const { return Version; }
    const std::string& PlayingTime() const { return TimeSeconds; }
    const std::string& PlayingTimeMs() const { return TimeMs; }
    const std::string& PtsOffset() const { return OffsetSeconds; }
    const std::string& PtsOffsetMs() const { return OffsetMs; }
    const std::string& Packets() const { return PacketCount; }
    const std::string& BitrateText() const { return Rate; }
    bool OgtStream(int index) const;

    void SetMpegVersion(std::string_view text);
    void SetPlayingTime(std::string_view text);
    void SetPtsOffset(std::string_view text);
    void SetPackets(std::string_view text);
    void SetBitrate(std::string_view text);
    void AddOgtStream(std::string_view indexText);
    // `slotText` is the stream's "index" attribute: "0", "1" or "2".
    void SetVideoHorizontalSize(std::string_view text, std::string_view slotText);
    void SetVideoVerticalSize(std::string_view text, std::string_view slotText);
    void SetVideoFrameRate(std::string_view text, std::string_view slotText);
    void SetVideoBitrate(std::string_view text, std::string_view slotText);
    void SetAudioMode(std::string_view text, std::string_view slotText);
    void SetAudioLayer(std::string_view text, std::string_view slotText);
    void SetAudioSamplingFrequency(std::string_view text, std::string_view slotText);
    void SetAudioBitrate(std::string_view text, std::string_view slotText);

    // Streams by slot (0..2); nothing when absent.
    const TVideoStream* VideoStream(int slot) const;
    const TAudioStream* AudioStream(int slot) const;

    // APS times in milliseconds.
    const TIntegerList& ApsTimes() const { return Aps; }
    void AddApsTime(std::string_view secondsText);
    void SortApsTimes() { Aps.Sort(); }
    std::int32_t NearestAps(std::int32_t t) const;
    std::int32_t PreviousAps(std::int32_t t) const;
    std::int32_t NextAps(std::int32_t t) const;

    // Entry points.
    TEntryPointsList& EntryPoints() { return *Entries; }
    const TEntryPointsList& EntryPoints() const { return *Entries; }
    bool ChapterSnapped() const { return Snapped; }
    void SetChapterSnapped(bool value) { Snapped = value; }
    // Adds a chapter (snapped to the nearest APS unless exact); the selection
    // of the resulting entry, or nothing when the entry is refused.
    TPbcSelection* AddEntryPoint(const std::string& timeText, bool exact);
    bool RemoveEntryPoint(const std::string& timeText);
    void ResetEntryPoints();

    // Main stream queries.
    const TVideoStream* MainVideoStream() const;
    TStreamTvSystem MainTvSystem() const;
    std::string MainFrameRate() const;
    std::string MainHorizontalSize() const;
    std::string MainVerticalSize() const;
    std::int64_t MainVideoBitrate() const;  // -1 when unknown
    double FrameRateValue(int videoSlot) const;
    std::string PlayingTimeOrEmpty() const;
    std::string PlayingTimeMsOrEmpty() const;

    // Display texts, all empty before the analysis.
    std::string OgtText() const;
    std::string SizeText(const TVideoStream* stream) const;
    std::string StreamsText() const;
    std::string PropertiesText() const;
    std::string SummaryText() const;
    std::string VideoStreamText(const TVideoStream* stream) const;
    std::string AudioStreamText(const TAudioStream* stream) const;

private:
    TVideoStream* VideoSlot(std::string_view slotText);
    TAudioStream* AudioSlot(std::string_view slotText);
    std::string OgtSuffix() const;
    struct TApsNeighbours {
        bool Exact = false;
        int Lower = 0;
        int Upper = 0;
    };
    TApsNeighbours FindAps(std::int32_t t) const;

    int IndexValue = 0;
    std::string IdText;
    TIntegerList Aps;
    bool Snapped = false;
    int FirstKey = 1;
    std::string RawVersion, RawTime, RawOffset, RawPacketCount, RawRate;
    std::array<bool, 4> Ogt{};
    std::string Version, TimeSeconds, TimeMs, OffsetSeconds, OffsetMs, PacketCount, Rate;
    std::unique_ptr<TEntryPointsList> Entries;
    mutable bool Sequence = true;
    bool ScanOffsets = false;
    std::string Padding, Autopadding, BadPacket, UserData;
    std::array<std::unique_ptr<TVideoStream>, 3> Video;
    std::array<std::unique_ptr<TAudioStream>, 3> Audio;
    int Icon = -1;
    int SelectedIcon = -1;
    std::string Name, Path, Folder;
    std::int64_t SizeBytes = 0;
    std::int32_t DosTime = 0;
    std::string CrcText;
    std::string Date, Time;
    bool AnalysedFlag = false;
    double PlayerRate = 0;
};
