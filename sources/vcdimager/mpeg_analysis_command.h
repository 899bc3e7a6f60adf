// The analysis of one MPEG file by vcdxminfo: the parameter record, the
// command that runs the tool (or reuses the stored description), and what
// the end of an analysis leads to when a file is added to the project.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/text.h"
#include "vcdimager/command_vcd.h"

class TMpegFile;
class TPbcSelection;
struct TComplianceContext;

// A file's description taken from a project being loaded.
struct TProjectRecord {
    struct TChapter {
        std::string TimeText;  // H:MM:SS.mmm
        std::string Id;
    };
    std::string Fingerprint;  // the file's CRC text
    std::string Size;         // decimal
    bool MotionVideo = true;
    std::string Id;  // of the file's own selection
    std::vector<TChapter> Chapters;
};

// The selections of a project being loaded, by identifier.
using TSelectionRegistry = std::map<std::string, TPbcSelection*>;

class TMinfoParam : public TVcdImagerParam {
public:
    std::string MpegFileName;
    // The record the analysis fills; created by the command when none is given.
    std::unique_ptr<TMpegFile> MpegFile;
    bool RelaxedAps = false;
    std::string FailureMessage;
    std::string SuccessMessage;
    std::string WarningMessage;
    std::int32_t BatchIndex = 1;  // from 1
    std::int32_t BatchCount = 1;
    bool AskContinue = false;  // the name was refused and more files follow
    std::shared_ptr<const TProjectRecord> ProjectRecord;

    ~TMinfoParam() override;
};

class TCommandVcdXMinfo final : public TCommandVcd {
public:
    explicit TCommandVcdXMinfo(TCommandSetup setup);

    TStringList AnalysisLines;
    bool AnalysisReused = false;
    bool ListRefreshed = false;
    bool RiffSeen = false;
    std::size_t DescriptionBytes = 0;  // of the lines collected in this run

    void GetExecutable(std::string& path) override;
    void GetParameters(std::string& arguments) override;
    void GetWorkingFolder(std::string& folder) override;
    void BeforeStart(bool& proceed) override;
    void FilterLine(std::string& line) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

    TMinfoParam* MinfoParam() const;

protected:
    std::vector<std::string> ToolPaths() const override;

private:
    void RestoreListBatch();
    void ComposeMessages();
    std::string ShownFileName() const;
};

// Files above these sizes are analysed with a repainting list / refused.
inline constexpr std::int64_t LongAnalysisKiB = 500;
inline constexpr std::int64_t MaxAnalysedMiB = 900;

// The command for one file, ready to be queued. `mpegFile` may be empty.
std::unique_ptr<TCommandVcdXMinfo> AnalyseMpegFile(const std::string& fileName, std::unique_ptr<TMpegFile> mpegFile,
                                                   std::shared_ptr<const TProjectRecord> projectRecord,
                                                   std::int32_t batchCount, std::int32_t batchIndex, bool relaxedAps,
                                                   TCommandOutputEvent lineCallback, TCommandEndedEvent doneCallback);

// Checks a loaded project's expectations against the analysed file and
// registers its selections; throws ELoadProjectError.
void ValidateAgainstProjectRecord(TMpegFile& file, const TProjectRecord& record, TSelectionRegistry& registry);

// What the end of an add's analysis leads to: messages shown, the compliance
// chain (or the project record) applied, the user asked whether the batch
// goes on. Returns the record to add to the project, or nothing; clears
// `continueBatch` when the batch ends. `context` may be changed by the chain.
std::unique_ptr<TMpegFile> AcceptAnalysedMpeg(const TExecuteStatus& status, TMinfoParam& param, bool& continueBatch,
                                              TComplianceContext& context, TSelectionRegistry* registry = nullptr);

// The lines the MPEG information page shows for an analysed file.
TStringList MpegInformationLines(const TMpegFile& file);
// How many text lines the information memo is sized to: 4, one more for a
// motion video stream and one more for each other stream.
int MpegInformationMemoLines(const TMpegFile& file);

// What the information page shows once its analysis has ended.
struct TMpegInformation {
    bool Analysed = false;  // the memos are enabled and filled
    TStringList Lines;
    int MemoLines = 0;
};
// Shows the failure (error) and success (information) messages of the
// ended analysis and returns what the page fills in.
TMpegInformation ShowSimpleMpegAnalyse(const TExecuteStatus& status, const TMinfoParam& param);
// A "warning" log line that the page copies into its warnings memo.
bool IsWarningLogLine(const std::string& line);
