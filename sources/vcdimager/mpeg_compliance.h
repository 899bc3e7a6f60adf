// What a Video CD player accepts: the checks of an MPEG file's name before
// the analysis, the checks of its analysed properties before it joins the
// project (each check explains itself in a paragraph, and the current mode
// decides whether that paragraph refuses the file, asks or is ignored), and
// the project-wide count limits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/video_cd.h"

class TMpegFile;
class TMpegFiles;

// The record for a file that may be analysed, or nothing. `refused` tells
// whether a message explained why there is none.
std::unique_ptr<TMpegFile> CreateCheckedMpegFile(const std::string& fileName, bool motionVideoGuess, bool& refused);

// Checks a file that the user names for an analysis (the command line, the
// information page): a full path of an existing regular file with an MPEG
// extension, whose name the tools can take. False after an error box that
// names the file and the reason.
bool CheckMpegInputFile(const std::string& fileName);

// Each shows its own error message when the count is over the limit.
bool CheckMaxStills(int count);
bool CheckMaxVideos(int count);
// Entry points of every motion video; false without a message for no list.
bool CheckMaxEntryPoints(const TMpegFiles* files);

enum class TComplianceReaction : std::uint8_t {
    RefuseWithError,
    AskAddAnyway,
    WarnAskAddAnyway,
    WarnAskAddNonCompliant,
    AcceptSilently,
};

enum class TComplianceMode : std::uint8_t { NonExpert, ExpertChecksOn, ExpertChecksOff };
TComplianceMode ComplianceModeOf(bool expertMode, bool complianceChecks);

// The checks of the chain, in chain order.
enum class TComplianceCheck : std::uint8_t {
    Kind = 1,
    StillOnVcd11,
    BadPackets,
    Duration,
    MpegType,
    TvSystemKnown,
    MpegTypeForDisc,
    TvSystemForProject,
    AllowedType,
    Mpeg2Bitrate,
    Padding,
    ScanOffsets,
};
// What a non-empty paragraph of `check` leads to in `mode`; the bit-rate check
// asks its own question and is not in the table.
TComplianceReaction ReactionOf(TComplianceCheck check, TComplianceMode mode);

// The check builders: each appends its paragraph to `paragraph` when the
// record fails the check.
void CheckMpegKind(const TMpegFile& file, std::string& paragraph);
void CheckStillsAllowed(const TMpegFile& file, TVideoCdType discType, std::string& paragraph);
void CheckBadPackets(const TMpegFile& file, std::string& paragraph);
void CheckDuration(const TMpegFile& file, std::string& paragraph);
void CheckMpegTypeKnown(const TMpegFile& file, std::string& paragraph);
void CheckTvSystemKnown(const TMpegFile& file, std::string& paragraph);
void CheckMpegTypeForDisc(const TMpegFile& file, TVideoCdType discType, std::string& paragraph);
void CheckTvSystemForProject(const TMpegFile& file, TTvSystem projectTvSystem, std::string& paragraph);
bool CheckAllowedMpegType(const TMpegFile& file, TVideoCdType discType, std::string& paragraph);
void CheckMpeg2Bitrate(const TMpegFile& file, std::string& paragraph);
void CheckPadding(const TMpegFile& file, std::string& paragraph);
void CheckScanOffsets(const TMpegFile& file, std::string& paragraph);

// "MPEG1", "MPEG2", or another text for an unknown type.
std::string MpegTypeText(const TMpegFile& file);
// Three blanks before every line of `message`, three after it, and an empty line.
std::string ComplianceParagraph(const std::string& message);

// Asks whether the project should take the file's TV system; true for yes.
bool AskAdaptProjectTvSystem(TStreamTvSystem fileTvSystem, TTvSystem projectTvSystem);

// The project and the settings the chain reads.
struct TComplianceContext {
    TVideoCdType DiscType = TVideoCdType::Vcd20;
    TTvSystem ProjectTvSystem = TTvSystem::Pal;  // may be changed by the chain
    int ProjectFileCount = 0;
    int MotionVideoCount = 0;
    int StillCount = 0;
    bool ExpertMode = false;
    bool ComplianceChecks = true;  // "Perform some MPEG compliance checks"
    bool NoBadPacketsWarning = false;
    bool DoNotShowHighSvcdBitRateAgain = false;  // may be set by the chain
    bool NoAutopaddingWarning = false;
    bool UpdateScanData = true;
    bool ShowScanDataOffsetsWarning = false;
};

// The project's file counts from its list.
void SetProjectCounts(TComplianceContext& context, const TMpegFiles& files);

struct TComplianceResult {
    bool Refused = false;
    bool AskContinue = false;  // ask whether the batch goes on
    bool ProjectTvSystemChanged = false;
    bool BitRateQuestionSilenced = false;  // DoNotShowHighSvcdBitRateAgain was ticked now
};

// The chain for an analysed record; questions go through Dialogs().
TComplianceResult CheckMpegCompliance(const TMpegFile& file, TComplianceContext& context, bool continueBatch);
