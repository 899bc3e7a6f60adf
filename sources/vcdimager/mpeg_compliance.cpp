#include "vcdimager/mpeg_compliance.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "model/mpeg_file.h"
#include "model/mpeg_files.h"
#include "services/services.h"
#include "settings/language.h"
#include "vcdimager/command_vcd.h"

namespace {

constexpr std::int64_t HighMpeg2Bitrate = 2400000;
constexpr long long MinimumDurationMs = 4000;

void ShowError(const std::string& message) { Dialogs().MessageDlg(message, TMsgDlgType::Error, mbOK); }

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool HasAnalysableExtension(const std::string& name) {
    const std::string extension = std::filesystem::path(name).extension().string();
    for (const char* accepted : {".mpeg", ".mpg", ".m1p", ".m2p"})
        if (SameText(extension, accepted)) return true;
    return false;
}

// Each distinct character at or above U+0080, whole, in order of first appearance.
std::string NonAsciiCharacters(const std::string& name) {
    std::string found;
    TStringList seen;
    for (std::size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::size_t end = i + 1;
        while (end < name.size() && end < i + length && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) ++end;
        const std::string character = name.substr(i, end - i);
        if (std::find(seen.begin(), seen.end(), character) == seen.end()) {
            seen.push_back(character);
            found += character;
        }
        i = end;
    }
    return found;
}

// The playing time in milliseconds when it is a whole number.
std::optional<long long> PlayingTimeMs(const TMpegFile& file) {
    const std::string text = file.PlayingTimeMsOrEmpty();
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string TvExplanationLines() {
    return "(" + Translate("PAL is a format for use primarily in Europe and Asia") + ")\r" + "(" +
           Translate("NTSC is a format for use primarily in North America") + ")";
}

struct TAllowedType {
    TVideoCdType Disc;
    const char* Type;
    bool Still;
    const char* Horizontal;
    const char* Vertical;
    bool Pal;
    bool Ntsc;
    bool Film;
};

constexpr TAllowedType AllowedTypes[] = {
    {TVideoCdType::Vcd11, "MPEG1", false, "352", "240", false, true, true},
    {TVideoCdType::Vcd20, "MPEG1", false, "352", "240", false, true, true},
    {TVideoCdType::Vcd20, "MPEG1", false, "352", "288", true, false, false},
    {TVideoCdType::Vcd20, "MPEG1", true, "352", "240", false, true, true},
    {TVideoCdType::Vcd20, "MPEG1", true, "704", "480", false, true, false},
    {TVideoCdType::Vcd20, "MPEG1", true, "352", "288", true, false, false},
    {TVideoCdType::Vcd20, "MPEG1", true, "704", "576", true, false, false},
    {TVideoCdType::Svcd10, "MPEG2", false, "480", "480", false, true, false},
    {TVideoCdType::Svcd10, "MPEG2", false, "480", "576", true, false, false},
    {TVideoCdType::Svcd10, "MPEG2", true, "480", "480", false, true, true},
    {TVideoCdType::Svcd10, "MPEG2", true, "704", "480", false, true, false},
    {TVideoCdType::Svcd10, "MPEG2", true, "480", "576", true, false, false},
    {TVideoCdType::Svcd10, "MPEG2", true, "704", "576", true, false, false},
};

bool TvSystemMatches(const TAllowedType& row, TStreamTvSystem tv) {
    return (tv == TStreamTvSystem::Pal && row.Pal) || (tv == TStreamTvSystem::Ntsc && row.Ntsc) ||
           (tv == TStreamTvSystem::Film && row.Film);
}

// The types a disc accepts, as the refusal lists them.
TStringList AllowedTypesList(TVideoCdType disc) {
    const std::string entry = "      ";
    switch (disc) {
        case TVideoCdType::Vcd11:
            return {Translate("MPEG Videos"), entry + "MPEG1 - 352 x 240 - NTSC",
                    entry + "MPEG1 - 352 x 240 - NTSC Film",
                    Translate("VCD1.1 does not allow the use of MPEG Pictures")};
        case TVideoCdType::Vcd20:
            return {Translate("MPEG Videos"),
                    entry + "MPEG1 - 352 x 240 - NTSC",
                    entry + "MPEG1 - 352 x 240 - NTSC Film",
                    entry + "MPEG1 - 352 x 288 - PAL",
                    Translate("MPEG Stills (Pictures)"),
                    entry + "MPEG1 - 352 x 240 - NTSC",
                    entry + "MPEG1 - 704 x 480 - NTSC",
                    entry + "MPEG1 - 352 x 240 - NTSC Film",
                    entry + "MPEG1 - 352 x 288 - PAL",
                    entry + "MPEG1 - 704 x 576 - PAL"};
        case TVideoCdType::Svcd10:
            return {Translate("MPEG Videos"),           entry + "MPEG2 - 480 x 480 - NTSC",
                    entry + "MPEG2 - 480 x 576 - PAL",  Translate("MPEG Stills (Pictures)"),
                    entry + "MPEG2 - 480 x 480 - NTSC", entry + "MPEG2 - 704 x 480 - NTSC",
                    entry + "MPEG2 - 480 x 576 - PAL",  entry + "MPEG2 - 704 x 576 - PAL"};
    }
    return {};
}

std::string DialogHeader(const TMpegFile& file) { return "\r\"" + file.FileName() + "\"\r\r"; }

// Shows the reaction to a non-empty paragraph; true when the file goes on.
bool React(TComplianceReaction reaction, const TMpegFile& file, const std::string& paragraph) {
    if (paragraph.empty() || reaction == TComplianceReaction::AcceptSilently) return true;
    const std::string text = DialogHeader(file) + paragraph;
    switch (reaction) {
        case TComplianceReaction::RefuseWithError:
            ShowError(text);
            return false;
        case TComplianceReaction::AskAddAnyway:
            return Dialogs().ConfirmNoDefault(text + Translate("Do you want to add this file anyway ?") + "   ",
                                              TMsgDlgType::Error, mbYesNo) == TModalResult::Yes;
        case TComplianceReaction::WarnAskAddAnyway:
            return Dialogs().ConfirmNoDefault(text + Translate("Do you want to add this file anyway ?") + "   ",
                                              TMsgDlgType::Warning, mbYesNo) == TModalResult::Yes;
        case TComplianceReaction::WarnAskAddNonCompliant:
            return Dialogs().ConfirmNoDefault(
                       text + Translate("Do you want to add this non-compliant file anyway ?") + "   ",
                       TMsgDlgType::Warning, mbYesNo) == TModalResult::Yes;
        case TComplianceReaction::AcceptSilently:
            break;
    }
    return true;
}

// The name rules of the tools: "&", names they cannot carry, characters
// outside 7-bit ASCII. True after the refusal was shown.
bool RefusedByNameRules(const std::string& name) {
    if (name.find('&') != std::string::npos) {
        // The message dialogs here show "&" as it is: the doubled form of the
        // stored text is undone after the lookup.
        ShowError(ReplaceAll(Translate("\"&&\" in filenames are not allowed"), "&&", "&") + ":\r\r   " + name + "\r");
        return true;
    }
    if (const std::string refusal = RefusedToolPathMessage(name); !refusal.empty()) {
        ShowError("\r" + refusal + "\r");
        return true;
    }
    if (const std::string special = NonAsciiCharacters(name); !special.empty()) {
        ShowError(
            Translate("Special characters in filenames are not allowed^(GNU VCDImager known bug)") + "\r\r   " +
            Format(Translate("In %s"), "\"" + name + "\"") + "\r\r   " + Translate("Forbidden characters") + ": " +
            special + "\r\r\r" +
            Translate("Rename or/and move the file in order to not have forbidden characters in the full filemane") +
            ".");
        return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<TMpegFile> CreateCheckedMpegFile(const std::string& fileName, bool motionVideoGuess, bool& refused) {
    refused = false;
    const std::string name = Trim(fileName);
    if (name.empty() || name.find('/') == std::string::npos || !IsExistingFile(name) || !HasAnalysableExtension(name))
        return nullptr;
    if (RefusedByNameRules(name)) {
        refused = true;
        return nullptr;
    }
    return std::make_unique<TMpegFile>(name, motionVideoGuess);
}

bool CheckMpegInputFile(const std::string& fileName) {
    const std::string name = Trim(fileName);
    const std::string invalid = Format(Translate("Invalid %s filename"), std::string("MPEG/MPG/M1P/M2P"));
    if (name.empty()) {
        ShowError(invalid);
        return false;
    }
    if (name.find('/') == std::string::npos) {
        ShowError(Translate("The filename must contain the full path") + ":\r" + name);
        return false;
    }
    // The status of what a link points to: a dangling link does not exist.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (!std::filesystem::exists(status)) {
        ShowError(Format(Translate("The file \"%s\" does not exist"), name));
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        // A folder, a pipe or a device would never end or never be an MPEG file.
        ShowError(Format(Translate("\"%s\" is not a regular file"), name));
        return false;
    }
    if (!HasAnalysableExtension(name)) {
        ShowError(invalid + ":\r" + name);
        return false;
    }
    return !RefusedByNameRules(name);
}

bool CheckMaxStills(int count) {
    if (count <= MaxStills) return true;
    ShowLimitMessage("A (S)VCD can not have more than %s MPEG stills (pictures)", MaxStills);
    return false;
}

bool CheckMaxVideos(int count) {
    if (count <= MaxMotionVideos) return true;
    ShowLimitMessage("A (S)VCD can not have more than %s MPEG videos", MaxMotionVideos);
    return false;
}

bool CheckMaxEntryPoints(const TMpegFiles* files) {
    if (!files) return false;
    long long total = 0;
    for (int i = 0; i < files->Count(); ++i)
        if (const TMpegFile* file = files->Get(i); file && file->IsSequence()) total += file->EntryPoints().Count();
    if (total <= MaxEntryPointsOnDisc) return true;
    ShowLimitMessage("No more than a total of %s entrypoints can be referenced in a (S)VCD", MaxEntryPointsOnDisc);
    return false;
}

void SetProjectCounts(TComplianceContext& context, const TMpegFiles& files) {
    context.ProjectFileCount = files.Count();
    context.MotionVideoCount = files.SequenceCount();
    context.StillCount = files.SegmentCount();
}

TComplianceMode ComplianceModeOf(bool expertMode, bool complianceChecks) {
    if (!expertMode) return TComplianceMode::NonExpert;
    return complianceChecks ? TComplianceMode::ExpertChecksOn : TComplianceMode::ExpertChecksOff;
}

TComplianceReaction ReactionOf(TComplianceCheck check, TComplianceMode mode) {
    using R = TComplianceReaction;
    struct TRow {
        R NonExpert, ChecksOn, ChecksOff;
    };
    auto row = [](TComplianceCheck c) -> TRow {
        switch (c) {
            case TComplianceCheck::Kind:
            case TComplianceCheck::StillOnVcd11:
            case TComplianceCheck::Duration:
                return {R::RefuseWithError, R::RefuseWithError, R::RefuseWithError};
            case TComplianceCheck::BadPackets:
                return {R::AskAddAnyway, R::AskAddAnyway, R::AskAddAnyway};
            case TComplianceCheck::MpegType:
                return {R::RefuseWithError, R::RefuseWithError, R::AskAddAnyway};
            case TComplianceCheck::TvSystemKnown:
                return {R::AskAddAnyway, R::AskAddAnyway, R::AcceptSilently};
            case TComplianceCheck::MpegTypeForDisc:
                return {R::RefuseWithError, R::AskAddAnyway, R::AcceptSilently};
            case TComplianceCheck::TvSystemForProject:
                return {R::AskAddAnyway, R::WarnAskAddAnyway, R::AcceptSilently};
            case TComplianceCheck::AllowedType:
                return {R::AskAddAnyway, R::WarnAskAddNonCompliant, R::AcceptSilently};
            case TComplianceCheck::Mpeg2Bitrate:
                return {R::AcceptSilently, R::AcceptSilently, R::AcceptSilently};
            case TComplianceCheck::Padding:
            case TComplianceCheck::ScanOffsets:
                return {R::WarnAskAddAnyway, R::WarnAskAddAnyway, R::WarnAskAddAnyway};
        }
        return {R::RefuseWithError, R::RefuseWithError, R::RefuseWithError};
    };
    const TRow reactions = row(check);
    switch (mode) {
        case TComplianceMode::NonExpert:
            return reactions.NonExpert;
        case TComplianceMode::ExpertChecksOn:
            return reactions.ChecksOn;
        case TComplianceMode::ExpertChecksOff:
            return reactions.ChecksOff;
    }
    return reactions.NonExpert;
}

std::string MpegTypeText(const TMpegFile& file) { return "MPEG" + file.MpegVersion(); }

std::string ComplianceParagraph(const std::string& message) {
    return "   " + ReplaceAll(message, "\r", "\r   ") + "   \r\r";
}

void CheckMpegKind(const TMpegFile& file, std::string& paragraph) {
    if (file.IsSequence() || file.IsStill() || file.IsAudioOnly()) return;
    paragraph += ComplianceParagraph(Translate("Only MPEG motion videos and MPEG stills (pictures) are accepted"));
}

void CheckStillsAllowed(const TMpegFile& file, TVideoCdType discType, std::string& paragraph) {
    if (!file.IsStill() || discType != TVideoCdType::Vcd11) return;
    paragraph += ComplianceParagraph(Translate("VCD1.1 does not allow the use of MPEG pictures"));
}

void CheckBadPackets(const TMpegFile& file, std::string& paragraph) {
    if (file.BadPacketWarning().empty()) return;
    paragraph +=
        ComplianceParagraph(Translate("This MPEG file have bad packets") + ":\r   " + Trim(file.BadPacketWarning()));
}

void CheckDuration(const TMpegFile& file, std::string& paragraph) {
    if (file.IsStill()) return;
    const std::optional<long long> ms = PlayingTimeMs(file);
    if (!ms || *ms >= MinimumDurationMs) return;
    paragraph += ComplianceParagraph(Format(
        Translate("The duration of this MPEG file is too short ( %s < 4000 milliseconds)"), std::to_string(*ms)));
}

void CheckMpegTypeKnown(const TMpegFile& file, std::string& paragraph) {
    const std::string type = MpegTypeText(file);
    if (type == "MPEG1" || type == "MPEG2") return;
    paragraph += ComplianceParagraph(Translate("Unknown MPEG file type"));
}

void CheckTvSystemKnown(const TMpegFile& file, std::string& paragraph) {
    if (file.MainTvSystem() != TStreamTvSystem::Unknown) return;
    paragraph +=
        ComplianceParagraph(Format(Translate("Unknown encoding frame rate: %s"), file.MainFrameRate() + " fps"));
}

void CheckMpegTypeForDisc(const TMpegFile& file, TVideoCdType discType, std::string& paragraph) {
    const std::string type = MpegTypeText(file);
    const std::string message = Translate("%s requires %s files, not %s files");
    if (type == "MPEG1" && discType == TVideoCdType::Svcd10)
        paragraph += ComplianceParagraph(Format(message, std::string("SVCD 1.0"), std::string("MPEG2"), type));
    else if (type == "MPEG2" && discType != TVideoCdType::Svcd10)
        paragraph += ComplianceParagraph(Format(message, std::string("VCD1.1/VCD2.0"), std::string("MPEG1"), type));
}

void CheckTvSystemForProject(const TMpegFile& file, TTvSystem projectTvSystem, std::string& paragraph) {
    const TStreamTvSystem tv = file.MainTvSystem();
    const bool mismatch =
        (tv == TStreamTvSystem::Pal && projectTvSystem != TTvSystem::Pal) ||
        ((tv == TStreamTvSystem::Ntsc || tv == TStreamTvSystem::Film) && projectTvSystem != TTvSystem::Ntsc);
    if (!mismatch) return;
    paragraph +=
        ComplianceParagraph(Format(Translate("Your MPEG file is a %s MPEG file, while you project is a %s VideoCD"),
                                   StreamTvSystemName(tv), TvSystemName(projectTvSystem)) +
                            "\r" + TvExplanationLines());
}

bool CheckAllowedMpegType(const TMpegFile& file, TVideoCdType discType, std::string& paragraph) {
    const std::string type = MpegTypeText(file);
    const bool still = file.IsStill();
    const std::string horizontal = file.MainHorizontalSize();
    const std::string vertical = file.MainVerticalSize();
    const TStreamTvSystem tv = file.MainTvSystem();
    for (const TAllowedType& row : AllowedTypes)
        if (row.Disc == discType && type == row.Type && still == row.Still && horizontal == row.Horizontal &&
            vertical == row.Vertical && TvSystemMatches(row, tv))
            return true;

    std::string message =
        Format(Translate("According to the VideoCD official specifications, only the following MPEG files types are "
                         "supported by %s"),
               VideoCdTypeText(discType)) +
        ":";
    for (const std::string& line : AllowedTypesList(discType)) message += "\r" + line;
    message += "\r\r" + Translate("Your MPEG file") + ":\r      " +
               Translate(still ? "MPEG Still (Picture)" : "MPEG Video") + " - " + type + " - " + horizontal + " x " +
               vertical + " - " + StreamTvSystemName(tv);
    paragraph += ComplianceParagraph(message);
    return false;
}

void CheckMpeg2Bitrate(const TMpegFile& file, std::string& paragraph) {
    if (!file.IsSequence() || MpegTypeText(file) != "MPEG2") return;
    const std::int64_t bitrate = file.MainVideoBitrate();
    if (bitrate <= HighMpeg2Bitrate) return;
    paragraph += ComplianceParagraph(
        Format(Translate("Your MPEG2 file has a maximun bitrate at %s bps... you may experience playback troubles"),
               std::to_string(bitrate)) +
        ".\r" +
        Format(Translate("Indeed, some players do not play well MPEG2 files with a bitrate greater than %s"),
               std::string("2400000bps (2400 kbps)")) +
        ".");
}

void CheckPadding(const TMpegFile& file, std::string& paragraph) {
    if (file.PaddingWarning().empty()) return;
    paragraph += ComplianceParagraph(
        Translate("This MPEG file requires autopadding... you may be unable to watch it correctly..."));
}

void CheckScanOffsets(const TMpegFile& file, std::string& paragraph) {
    if (!file.ScanOffsetsHint()) return;
    paragraph += ComplianceParagraph(
        Translate("This MPEG files has been encoded using the Chinese specifications.") + "\r" +
        Translate("Consider enabling the \"update scan offsets\" option, if you want to fix this."));
}

bool AskAdaptProjectTvSystem(TStreamTvSystem fileTvSystem, TTvSystem projectTvSystem) {
    const bool filePal = fileTvSystem == TStreamTvSystem::Pal;
    const bool fileNtsc = fileTvSystem == TStreamTvSystem::Ntsc || fileTvSystem == TStreamTvSystem::Film;
    if (!filePal && !fileNtsc) return false;
    if ((filePal && projectTvSystem == TTvSystem::Pal) || (fileNtsc && projectTvSystem == TTvSystem::Ntsc))
        return false;
    const std::string message = "\r" +
                                Format(Translate("The project is %s while the MPEG file is %s"),
                                       TvSystemName(projectTvSystem), StreamTvSystemName(fileTvSystem)) +
                                "\r\r" + Translate("Do you want to change the project accordingly ?") + "\r\r\r" +
                                TvExplanationLines();
    return Dialogs().MessageDlg(message, TMsgDlgType::Warning, mbYesNo) == TModalResult::Yes;
}

TComplianceResult CheckMpegCompliance(const TMpegFile& file, TComplianceContext& context, bool continueBatch) {
    TComplianceResult result;
    const auto refuse = [&] {
        result.Refused = true;
        result.AskContinue = continueBatch;
        return result;
    };

    if (file.IsSequence() ? !CheckMaxVideos(context.MotionVideoCount + 1) : !CheckMaxStills(context.StillCount + 1))
        return refuse();

    const TComplianceMode mode = ComplianceModeOf(context.ExpertMode, context.ComplianceChecks);
    const auto passes = [&](TComplianceCheck check, const std::string& paragraph) {
        return React(ReactionOf(check, mode), file, paragraph);
    };

    std::string kind, stills, badPackets, duration, type, tvKnown;
    CheckMpegKind(file, kind);
    if (!passes(TComplianceCheck::Kind, kind)) return refuse();
    CheckStillsAllowed(file, context.DiscType, stills);
    if (!passes(TComplianceCheck::StillOnVcd11, stills)) return refuse();
    if (!context.NoBadPacketsWarning) {
        CheckBadPackets(file, badPackets);
        if (!passes(TComplianceCheck::BadPackets, badPackets)) return refuse();
    }
    CheckDuration(file, duration);
    if (!passes(TComplianceCheck::Duration, duration)) return refuse();
    CheckMpegTypeKnown(file, type);
    if (!passes(TComplianceCheck::MpegType, type)) return refuse();
    CheckTvSystemKnown(file, tvKnown);
    if (!passes(TComplianceCheck::TvSystemKnown, tvKnown)) return refuse();

    std::string typeForDisc;
    if (type.empty()) {
        CheckMpegTypeForDisc(file, context.DiscType, typeForDisc);
        if (!passes(TComplianceCheck::MpegTypeForDisc, typeForDisc)) return refuse();
    }
    if (tvKnown.empty()) {
        if (context.ProjectFileCount == 0 && AskAdaptProjectTvSystem(file.MainTvSystem(), context.ProjectTvSystem)) {
            context.ProjectTvSystem = file.MainTvSystem() == TStreamTvSystem::Pal ? TTvSystem::Pal : TTvSystem::Ntsc;
            result.ProjectTvSystemChanged = true;
        }
        std::string tvForProject;
        CheckTvSystemForProject(file, context.ProjectTvSystem, tvForProject);
        if (!passes(TComplianceCheck::TvSystemForProject, tvForProject)) return refuse();
    }
    if (typeForDisc.empty() && type.empty() && tvKnown.empty()) {
        std::string allowed;
        CheckAllowedMpegType(file, context.DiscType, allowed);
        if (!passes(TComplianceCheck::AllowedType, allowed)) return refuse();
    }
    if (!context.DoNotShowHighSvcdBitRateAgain && type.empty()) {
        std::string bitrate;
        CheckMpeg2Bitrate(file, bitrate);
        if (!bitrate.empty()) {
            TAdvancedMessage question;
            question.Message = DialogHeader(file) + bitrate + Translate("Do you want to add this file anyway ?");
            question.DlgType = TMsgDlgType::Warning;
            question.Buttons = mbYesNo;
            question.CheckBoxCaption = Translate("Don't show this message again");
            bool silenced = false;
            const TModalResult answer = Dialogs().AdvancedMessageDlg(question, silenced);
            if (silenced) {
                context.DoNotShowHighSvcdBitRateAgain = true;
                result.BitRateQuestionSilenced = true;
            }
            if (answer != TModalResult::Yes) return refuse();
        }
    }
    if (!context.NoAutopaddingWarning) {
        std::string padding;
        CheckPadding(file, padding);
        if (!passes(TComplianceCheck::Padding, padding)) return refuse();
    }
    if (!context.UpdateScanData || context.ShowScanDataOffsetsWarning) {
        std::string offsets;
        CheckScanOffsets(file, offsets);
        if (!passes(TComplianceCheck::ScanOffsets, offsets)) return refuse();
    }
    return result;
}
