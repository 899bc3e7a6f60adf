#include "model/mpeg_file.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <limits>
#include <system_error>

#include "lib/crc32.h"

namespace {

const char* const VideoKinds[] = {"Motion Video", "Still Picture", "Secondary Still Picture"};
const char* const AudioKinds[] = {"Audio Standard", "Secondary Audio", "Extended Audio MC 5.1"};

int SlotOf(std::string_view slotText) {
    if (slotText == "0") return 0;
    if (slotText == "1") return 1;
    if (slotText == "2") return 2;
    return -1;
}

// A decimal number with "." as separator whatever the locale; only texts that
// contain "." and parse completely count.
double DecimalOrZero(std::string_view text) {
    if (text.find('.') == std::string_view::npos) return 0;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return 0;
    return value;
}

std::string UnitText(std::string_view raw, const char* thousands, const char* units) {
    std::string text = Trim(raw);
    if (EndsWith(text, "000")) return text.substr(0, text.size() - 3) + thousands;
    return text + units;
}

// DOS date and time of a local time; 0 outside the years DOS can hold.
std::int32_t DosDateTime(const std::tm& local) {
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) return 0;
    const auto dos =
        (static_cast<std::uint32_t>(year - 1980) << 25) | (static_cast<std::uint32_t>(local.tm_mon + 1) << 21) |
        (static_cast<std::uint32_t>(local.tm_mday) << 16) | (static_cast<std::uint32_t>(local.tm_hour) << 11) |
        (static_cast<std::uint32_t>(local.tm_min) << 5) | (static_cast<std::uint32_t>(local.tm_sec / 2));
    return static_cast<std::int32_t>(dos);
}

// Local date and time texts of a file's modification time.
std::string LocalDateText(const std::tm& local) {
    char buffer[32];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local));
}

std::string LocalTimeText(const std::tm& local) {
    char buffer[32];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%H:%M:%S", &local));
}

}  // namespace

std::string BitrateDisplayText(std::string_view raw) { return UnitText(raw, "kbps", "bps"); }

std::string SamplingFrequencyDisplayText(std::string_view raw) { return UnitText(raw, "KHz", "Hz"); }

std::string FrameRateDisplayText(std::string_view raw) {
    std::string text(raw);
    if (text.find('.') == std::string::npos) text += '.';
    while (!text.empty() && text.back() == '0') text.pop_back();
    while (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string AudioModeDisplayText(std::string_view mode) {
    if (mode == "stereo") return "Stereo";
    if (mode == "joint_stereo") return "Joint Stereo";
    if (mode == "dual_channel") return "Dual Channel";
    if (mode == "single_channel") return "Single Channel";
    return "Invalid";
}

TNormalisedTime NormaliseTime(std::string_view raw) {
    std::string text = Trim(raw);
    if (text.find('.') == std::string::npos) text += '.';
    while (!text.empty() && text.back() == '0') text.pop_back();
    text += "000000";
    const std::size_t dot = text.find('.');
    text.resize(dot + 4);
    return {text, text.substr(0, dot) + text.substr(dot + 1)};
}

TVideoStream::TVideoStream(int slot) : Kind(VideoKinds[slot]) {}

TAudioStream::TAudioStream(int slot) : Kind(AudioKinds[slot]) {}

TMpegFile::TMpegFile(const std::string& path, bool isMotionVideo) : Sequence(isMotionVideo) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path full = path.empty() ? fs::path() : fs::absolute(fs::path(path), error).lexically_normal();
    struct stat info {};
    if (!path.empty() && !error && fs::is_regular_file(full, error) && ::stat(full.c_str(), &info) == 0) {
        Path = full.string();
        const auto crc = FileHeadCrc32(Path);
        CrcText = Crc32Text(crc.value_or(0));
        Name = full.filename().string();
        Folder = full.has_parent_path() ? full.parent_path().string() : std::string();
        if (!Folder.empty() && Folder.back() != '/') Folder += '/';
        SizeBytes = static_cast<std::int64_t>(info.st_size);
        std::tm local{};
        const std::time_t modified = info.st_mtime;
        if (localtime_r(&modified, &local)) {
            DosTime = DosDateTime(local);
            if (DosTime != 0) {
                Date = LocalDateText(local);
                Time = LocalTimeText(local);
            }
        }
        IdText = FormatNumber4(IndexValue + 1);
    }
    Aps.Add(0);
    Entries = std::make_unique<TEntryPointsList>(this, isMotionVideo, FirstKey, Name, Number());
    ResetAnalysis();
    // A new record is in no project yet: its start entry changes nobody's
    // navigation, so the refresh is not requested.
    BeginNavigationUpdate();
    Entries->Add(StartTimeText, isMotionVideo);
    EndNavigationUpdate();
}

// The entry list goes first: its selections refer to this record as owner.
TMpegFile::~TMpegFile() { Entries.reset(); }

void TMpegFile::SetIndex(int index) {
    IndexValue = index;
    IdText = FormatNumber4(index + 1);
    Entries->Renumber(index + 1, IsSequence());
}

void TMpegFile::SetIconIndexes(int normal, int selected) {
    Icon = normal;
    SelectedIcon = selected;
}

void TMpegFile::SetSequenceFlag(bool value) {
    if (AnalysedFlag) return;
    Sequence = value;
    ResetEntryPoints();
}

bool TMpegFile::IsSequence() const {
    if (!AnalysedFlag) return Sequence;
    Sequence = Video[VideoSlotMotion] != nullptr;
    return Sequence;
}

bool TMpegFile::IsStill() const {
    if (!AnalysedFlag) return !Sequence;
    return !Video[VideoSlotMotion] && (Video[VideoSlotStill] || Video[VideoSlotSecondStill]);
}

bool TMpegFile::IsAudioOnly() const {
    if (!AnalysedFlag) return false;
    return !Video[0] && !Video[1] && !Video[2] && Audio[AudioSlotStandard];
}

void TMpegFile::SetFirstNumericKey(int key) {
    FirstKey = key <= 0 || key >= 100 ? 1 : key;
    Entries->SetFirstNumericKey(FirstKey);
}

void TMpegFile::ResetAnalysis() {
    ScanOffsets = false;
    Padding.clear();
    Autopadding.clear();
    BadPacket.clear();
    UserData.clear();
    AnalysedFlag = false;
    PlayerRate = 0;
    for (std::string* text : {&RawVersion, &RawTime, &RawOffset, &RawPacketCount, &RawRate, &Version, &TimeSeconds,
                              &TimeMs, &OffsetSeconds, &OffsetMs, &PacketCount, &Rate})
        text->assign(1, '?');
    for (auto& stream : Video) stream.reset();
    for (auto& stream : Audio) stream.reset();
    Ogt.fill(false);
}

bool TMpegFile::OgtStream(int index) const {
    return index >= 0 && index < static_cast<int>(Ogt.size()) && Ogt[static_cast<std::size_t>(index)];
}

void TMpegFile::SetMpegVersion(std::string_view text) {
    RawVersion = Trim(text);
    if (!RawVersion.empty()) Version = RawVersion;
}

void TMpegFile::SetPlayingTime(std::string_view text) {
    RawTime = Trim(text);
    if (RawTime.empty()) return;
    auto [seconds, ms] = NormaliseTime(RawTime);
    TimeSeconds = std::move(seconds);
    TimeMs = std::move(ms);
}

void TMpegFile::SetPtsOffset(std::string_view text) {
    RawOffset = Trim(text);
    if (RawOffset.empty()) return;
    auto [seconds, ms] = NormaliseTime(RawOffset);
    OffsetSeconds = std::move(seconds);
    OffsetMs = std::move(ms);
}

void TMpegFile::SetPackets(std::string_view text) {
    RawPacketCount = Trim(text);
    if (!RawPacketCount.empty()) PacketCount = RawPacketCount;
}

// An empty value keeps the display text: "bps" alone would tell nothing.
void TMpegFile::SetBitrate(std::string_view text) {
    RawRate = Trim(text);
    if (!RawRate.empty()) Rate = BitrateDisplayText(RawRate);
}

void TMpegFile::AddOgtStream(std::string_view indexText) {
    const std::string index = Trim(indexText);
    if (index.size() == 1 && index[0] >= '0' && index[0] <= '3') Ogt[static_cast<std::size_t>(index[0] - '0')] = true;
}

TVideoStream* TMpegFile::VideoSlot(std::string_view slotText) {
    const int slot = SlotOf(Trim(slotText));
    if (slot < 0) return nullptr;
    auto& stream = Video[static_cast<std::size_t>(slot)];
    if (!stream) {
        stream = std::make_unique<TVideoStream>(slot);
        Sequence = Video[VideoSlotMotion] || (!Video[VideoSlotStill] && !Video[VideoSlotSecondStill]);
    }
    return stream.get();
}

TAudioStream* TMpegFile::AudioSlot(std::string_view slotText) {
    const int slot = SlotOf(Trim(slotText));
    if (slot < 0) return nullptr;
    auto& stream = Audio[static_cast<std::size_t>(slot)];
    if (!stream) stream = std::make_unique<TAudioStream>(slot);
    return stream.get();
}

void TMpegFile::SetVideoHorizontalSize(std::string_view text, std::string_view slotText) {
    if (TVideoStream* stream = VideoSlot(slotText)) {
        stream->RawHorizontalSize = Trim(text);
        if (!stream->RawHorizontalSize.empty()) stream->HorizontalSize = stream->RawHorizontalSize;
    }
}

void TMpegFile::SetVideoVerticalSize(std::string_view text, std::string_view slotText) {
    if (TVideoStream* stream = VideoSlot(slotText)) {
        stream->RawVerticalSize = Trim(text);
        if (!stream->RawVerticalSize.empty()) stream->VerticalSize = stream->RawVerticalSize;
    }
}

void TMpegFile::SetVideoFrameRate(std::string_view text, std::string_view slotText) {
    TVideoStream* stream = VideoSlot(slotText);
    if (!stream) return;
    stream->RawFrameRate = Trim(text);
    stream->FrameRate = FrameRateDisplayText(stream->RawFrameRate);
    // Judged on the display text: 29.970000 shows as 29.97 and stays unknown.
    if (stream->FrameRate == "25")
        stream->TvSystem = TStreamTvSystem::Pal;
    else if (StartsWith(stream->FrameRate, "29.9700"))
        stream->TvSystem = TStreamTvSystem::Ntsc;
    else if (StartsWith(stream->FrameRate, "23.9760"))
        stream->TvSystem = TStreamTvSystem::Film;
}

void TMpegFile::SetVideoBitrate(std::string_view text, std::string_view slotText) {
    if (TVideoStream* stream = VideoSlot(slotText)) {
        stream->RawBitrate = Trim(text);
        if (!stream->RawBitrate.empty()) stream->BitrateText = BitrateDisplayText(stream->RawBitrate);
    }
}

void TMpegFile::SetAudioMode(std::string_view text, std::string_view slotText) {
    if (TAudioStream* stream = AudioSlot(slotText)) stream->Mode = AudioModeDisplayText(Trim(text));
}

void TMpegFile::SetAudioLayer(std::string_view text, std::string_view slotText) {
    if (TAudioStream* stream = AudioSlot(slotText)) stream->Layer = Trim(text);
}

void TMpegFile::SetAudioSamplingFrequency(std::string_view text, std::string_view slotText) {
    if (TAudioStream* stream = AudioSlot(slotText)) {
        stream->RawSamplingFrequency = Trim(text);
        if (!stream->RawSamplingFrequency.empty())
            stream->SamplingFrequencyText = SamplingFrequencyDisplayText(stream->RawSamplingFrequency);
    }
}

void TMpegFile::SetAudioBitrate(std::string_view text, std::string_view slotText) {
    if (TAudioStream* stream = AudioSlot(slotText)) {
        stream->RawBitrate = Trim(text);
        if (!stream->RawBitrate.empty()) stream->BitrateText = BitrateDisplayText(stream->RawBitrate);
    }
}

const TVideoStream* TMpegFile::VideoStream(int slot) const {
    return slot >= 0 && slot < 3 ? Video[static_cast<std::size_t>(slot)].get() : nullptr;
}

const TAudioStream* TMpegFile::AudioStream(int slot) const {
    return slot >= 0 && slot < 3 ? Audio[static_cast<std::size_t>(slot)].get() : nullptr;
}

void TMpegFile::AddApsTime(std::string_view secondsText) {
    if (!IsSequence()) return;
    const double ms = std::nearbyint(DecimalOrZero(Trim(secondsText)) * 1000.0);  // halves to even
    if (!(ms > std::numeric_limits<std::int32_t>::min() && ms < std::numeric_limits<std::int32_t>::max())) return;
    const auto value = static_cast<std::int32_t>(ms);
    if (value == 0 || Aps.Contains(value)) return;
    Aps.Add(value);
}

TMpegFile::TApsNeighbours TMpegFile::FindAps(std::int32_t t) const {
    const auto& values = Aps.Items();
    const int count = Aps.Count();
    int low = 0;
    int high = count;  // first index whose value is not below t
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (values[static_cast<std::size_t>(middle)] < t)
            low = middle + 1;
        else
            high = middle;
    }
    TApsNeighbours found;
    found.Exact = low < count && values[static_cast<std::size_t>(low)] == t;
    found.Lower = low > 0 ? low - 1 : 0;
    found.Upper = found.Exact ? low + 1 : low;
    if (found.Upper > count - 1) found.Upper = count - 1;
    return found;
}

std::int32_t TMpegFile::NearestAps(std::int32_t t) const {
    if (Aps.Count() < 2) return 0;
    const TApsNeighbours near = FindAps(t);
    if (near.Exact) return t;
    const std::int64_t lower = Aps.Get(near.Lower);
    const std::int64_t upper = Aps.Get(near.Upper);
    // A tie goes to the earlier APS.
    return std::llabs(upper - t) < std::llabs(t - lower) ? Aps.Get(near.Upper) : Aps.Get(near.Lower);
}

std::int32_t TMpegFile::PreviousAps(std::int32_t t) const {
    if (Aps.Count() == 0) return 0;
    const TApsNeighbours near = FindAps(t);
    if (near.Exact) return Aps.Get(near.Lower);
    const std::int32_t lower = Aps.Get(near.Lower);
    if (NearestAps(t) == lower) return Aps.Get(FindAps(lower).Lower);
    return lower;
}

std::int32_t TMpegFile::NextAps(std::int32_t t) const {
    if (Aps.Count() == 0) return 0;
    const TApsNeighbours near = FindAps(t);
    if (near.Exact) return Aps.Get(near.Upper);
    const std::int32_t upper = Aps.Get(near.Upper);
    if (NearestAps(t) == upper) return Aps.Get(FindAps(upper).Upper);
    return upper;
}

TPbcSelection* TMpegFile::AddEntryPoint(const std::string& timeText, bool exact) {
    if (!IsSequence() && timeText != StartTimeText) return nullptr;
    if (!IsValidTimeText(timeText) || Entries->Count() >= MaxEntriesPerFile) return nullptr;
    std::string time = timeText;
    if (Entries->IndexOf(time) < 0) {
        if (!exact) {
            Snapped = true;
            const std::int64_t ms = TimeTextToMs(time);
            time = MsToTimeText(NearestAps(static_cast<std::int32_t>(ms)));
            // APS times past 9:59:59.999 have no time text.
            if (!IsValidTimeText(time)) return nullptr;
        }
        Entries->Add(time, IsSequence());
    }
    return Entries->SelectionAt(Entries->IndexOf(time));
}

bool TMpegFile::RemoveEntryPoint(const std::string& timeText) {
    if (timeText == StartTimeText) return false;
    const int index = Entries->IndexOf(timeText);
    if (index >= 0) Entries->Delete(index);
    return true;
}

void TMpegFile::ResetEntryPoints() {
    TNavigationUpdateScope suspended;
    Entries->Clear();
    Entries->Add(StartTimeText, IsSequence());
}

const TVideoStream* TMpegFile::MainVideoStream() const {
    if (!AnalysedFlag) return nullptr;
    if (IsSequence()) return Video[VideoSlotMotion].get();
    return Video[VideoSlotStill] ? Video[VideoSlotStill].get() : Video[VideoSlotSecondStill].get();
}

TStreamTvSystem TMpegFile::MainTvSystem() const {
    const TVideoStream* stream = MainVideoStream();
    return stream ? stream->TvSystem : TStreamTvSystem::Unknown;
}

std::string TMpegFile::MainFrameRate() const {
    const TVideoStream* stream = MainVideoStream();
    return stream && !stream->FrameRate.empty() ? stream->FrameRate : "?";
}

std::string TMpegFile::MainHorizontalSize() const {
    const TVideoStream* stream = MainVideoStream();
    return stream && !stream->HorizontalSize.empty() ? stream->HorizontalSize : "?";
}

std::string TMpegFile::MainVerticalSize() const {
    const TVideoStream* stream = MainVideoStream();
    return stream && !stream->VerticalSize.empty() ? stream->VerticalSize : "?";
}

std::int64_t TMpegFile::MainVideoBitrate() const {
    const TVideoStream* stream = MainVideoStream();
    if (!stream || stream->RawBitrate.empty()) return -1;
    std::int64_t value = 0;
    const std::string& raw = stream->RawBitrate;
    const auto [end, error] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
    if (error != std::errc() || end != raw.data() + raw.size()) return -1;
    return value;
}

double TMpegFile::FrameRateValue(int videoSlot) const {
    if (!AnalysedFlag) return 0;
    const TVideoStream* stream = VideoStream(videoSlot);
    return stream ? DecimalOrZero(stream->RawFrameRate) : 0;
}

std::string TMpegFile::PlayingTimeOrEmpty() const { return TimeSeconds == "?" ? std::string() : TimeSeconds; }

std::string TMpegFile::PlayingTimeMsOrEmpty() const { return TimeMs == "?" ? std::string() : TimeMs; }

std::string TMpegFile::OgtText() const {
    if (!AnalysedFlag) return {};
    TStringList present;
    for (std::size_t i = 0; i < Ogt.size(); ++i)
        if (Ogt[i]) present.push_back(std::to_string(i));
    return JoinLines(present, ":");
}

std::string TMpegFile::OgtSuffix() const {
    const std::string ogt = OgtText();
    return ogt.empty() ? std::string() : ", OGT " + ogt + " (Subtitles,...)";
}

std::string TMpegFile::SizeText(const TVideoStream* stream) const {
    if (!AnalysedFlag) return {};
    if (!stream) return "?x?";
    return stream->HorizontalSize + "x" + stream->VerticalSize;
}

std::string TMpegFile::StreamsText() const {
    if (!AnalysedFlag) return {};
    TStringList kinds;
    for (const auto& stream : Video)
        if (stream) kinds.push_back(stream->Kind);
    for (const auto& stream : Audio)
        if (stream) kinds.push_back(stream->Kind);
    return JoinLines(kinds, " - ") + OgtSuffix();
}

std::string TMpegFile::PropertiesText() const {
    if (!AnalysedFlag) return {};
    return "MPEG" + Version + ", PlayingTime=" + TimeSeconds + "s" + ", Bitrate=" + Rate +
           ", PtsOffset=" + OffsetSeconds + "s" + ", " + PacketCount + " packets" + OgtSuffix();
}

std::string TMpegFile::SummaryText() const {
    if (!AnalysedFlag) return {};
    auto rateAndSystem = [](const TVideoStream& stream) {
        return ", " + stream.FrameRate + "fps" + " (" + StreamTvSystemName(stream.TvSystem) + ")";
    };
    std::string text = "MPEG" + Version;
    const TVideoStream* motion = Video[VideoSlotMotion].get();
    const TVideoStream* still = Video[VideoSlotStill].get();
    const TVideoStream* second = Video[VideoSlotSecondStill].get();
    if (motion) text += ", " + TimeSeconds + "s" + rateAndSystem(*motion) + ", " + SizeText(motion);
    if (still) {
        text += rateAndSystem(*still) + ", " + SizeText(still);
        if (second) text += " - " + SizeText(second);
    } else if (second) {
        text += rateAndSystem(*second) + ", " + SizeText(second);
    }
    return text + ", " + StreamsText();
}

std::string TMpegFile::VideoStreamText(const TVideoStream* stream) const {
    if (!AnalysedFlag || !stream) return {};
    return stream->Kind + ", " + SizeText(stream) + ", " + stream->FrameRate + "fps" + " (" +
           StreamTvSystemName(stream->TvSystem) + "), " + stream->BitrateText;
}

std::string TMpegFile::AudioStreamText(const TAudioStream* stream) const {
    if (!AnalysedFlag || !stream) return {};
    return stream->Kind + " " + "MPEG layer" + stream->Layer + " " + stream->Mode + ", " +
           stream->SamplingFrequencyText + ", " + stream->BitrateText;
}
