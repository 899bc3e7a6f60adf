// TCommandInterface is the base of every job the program runs for the user:
// the commands manager executes it, it streams status lines while it runs and
// ends with a TExecuteStatus.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "exec/command_lines_view.h"
#include "exec/execute_status.h"
#include "lib/date_time.h"

// Base of the parameter records that callers hand to a command and get back
// with its end notifications. Shared, so that it outlives the command.
class TCommandParam {
public:
    virtual ~TCommandParam() = default;
};
using TCommandParamPtr = std::shared_ptr<TCommandParam>;

enum class TCommandKind : std::uint8_t {
    Other = 0,
    CdxaConversion = 1,  // CDXA conversion and rip
    MpegAnalysis = 2,
    ImageBuild = 3,
    XmlGeneration = 4,
    DeviceScan = 5,
    Blank = 6,
    DiskInformation = 7,
    ReadCd = 8,
    CdWrite = 9,
    Unlock = 10,
};

class TCommandInterface;

using TCommandOutputEvent = std::function<void(TCommandInterface& sender, const std::string& line)>;
using TCommandDoneEvent =
    std::function<void(TCommandInterface& sender, const TExecuteStatus& status, const TCommandParamPtr& param)>;
using TCommandMessageEvent = std::function<void(TCommandInterface& sender, const std::string& text)>;
// May clear `continueQueue` to stop the queue after this command.
using TCommandEndedEvent = std::function<void(TCommandInterface& sender, const TExecuteStatus& status,
                                              bool& continueQueue, const TCommandParamPtr& param)>;

struct TCommandSetup {
    TCommandOutputEvent OnOutput;
    std::string Title;
    std::string WaitMessage;
    TCommandParamPtr Param;
    TCommandEndedEvent OnEnded;
    bool Reported = true;
    bool StopWaitingAtEnd = true;
};

class TCommandInterface {
public:
    explicit TCommandInterface(TCommandSetup setup);
    virtual ~TCommandInterface() = default;
    TCommandInterface(const TCommandInterface&) = delete;
    TCommandInterface& operator=(const TCommandInterface&) = delete;

    TCommandParamPtr Param;
    TCommandLinesView* CommandLineMemo = nullptr;
    bool Failed = false;
    TCommandOutputEvent OnOutput;
    TCommandDoneEvent OnDone;
    TCommandMessageEvent OnMessage;
    TDateTime StartTime = 0;
    int SkipCount = 0;
    bool Skipped = false;
    bool Cancelled = false;
    bool StopWaitingAtEnd = true;
    TCommandEndedEvent OnEnded;
    bool Reported = true;
    TExecuteStatus Status;
    bool Cancellable = true;
    TCommandKind Kind = TCommandKind::Other;
    std::string Title;
    std::string WaitMessage;

    // Called when the work ends (exit code 0 is success), or by Cancel with 1.
    virtual void CommandEnded(std::uint32_t exitCode);
    virtual void OnSuccess() = 0;
    virtual void OnFailure() = 0;
    virtual void OnCancel() = 0;
    // Gives a failure that left no error line its reason, before OnFailure reports it.
    virtual void ExplainFailure(std::uint32_t /*exitCode*/) {}
    // Rewrites a raw line (into a status line, say) or empties it to drop it.
    virtual void FilterLine(std::string& line) = 0;
    virtual void TranslateLine(const std::string& line, std::string& result);
    virtual void Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone, TCommandMessageEvent onMessage);
    virtual void Cancel() = 0;
    // After Release the command reports nothing any more.
    virtual void Release() = 0;

    // Filters, translates and passes on one line; nothing once cancelled.
    void EmitLine(const std::string& line);
    // Passes a line on as it is.
    void Emit(const std::string& line);
    // The log status line of `text` with the first `marker` removed; empty for an empty text.
    static std::string MakeLogLine(const std::string& marker, const std::string& level, const std::string& text);
};
