#include "exec/command_interface.h"

#include <utility>

#include "exec/status_lines.h"
#include "services/services.h"

TCommandInterface::TCommandInterface(TCommandSetup setup)
    : Param(std::move(setup.Param)),
      OnOutput(std::move(setup.OnOutput)),
      StopWaitingAtEnd(setup.StopWaitingAtEnd),
      OnEnded(std::move(setup.OnEnded)),
      Reported(setup.Reported),
      Title(std::move(setup.Title)),
      WaitMessage(std::move(setup.WaitMessage)) {
    // A development aid: every command is created with its parameters.
    if (!Param) Dialogs().ShowMessage("DEBUG: data for " + Title + " must not be nul");
}

void TCommandInterface::TranslateLine(const std::string& line, std::string& result) { result = Trim(line); }

void TCommandInterface::Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone,
                                TCommandMessageEvent onMessage) {
    if (Cancelled) return;
    // Stored before the first line goes out: a handler of that line may cancel,
    // and the end must then reach the manager.
    CommandLineMemo = commandLineMemo;
    OnDone = std::move(onDone);
    OnMessage = std::move(onMessage);
    Failed = false;
    StartTime = Now();
    if (!Title.empty()) EmitLine("[" + Title + "]");
}

void TCommandInterface::CommandEnded(std::uint32_t exitCode) {
    if (exitCode != 0 && !Cancelled) Failed = true;
    for (TStringList* list : {&Status.SuccessLines, &Status.WarningLines, &Status.ErrorLines})
        for (std::string& line : *list) {
            std::string translated;
            TranslateLine(line, translated);
            line = std::move(translated);
        }

    if (Cancelled)
        Status.SetCancelled();
    else if (Failed)
        Status.SetFailed();
    else
        Status.SetSucceeded();

    if (!Cancelled && !Failed) OnSuccess();
    if (Failed && !Cancelled) {
        if (Status.ErrorLines.empty()) ExplainFailure(exitCode);
        OnFailure();
    }
    if (Cancelled) OnCancel();

    // The end is reported once. The callback may free this command (the queue
    // is cleared from inside it), so nothing of it is touched afterwards.
    if (TCommandDoneEvent done = std::exchange(OnDone, nullptr)) done(*this, Status, Param);
}

void TCommandInterface::EmitLine(const std::string& line) {
    if (Cancelled) return;
    std::string filtered = line;
    FilterLine(filtered);
    Status.KeepBounded();
    if (Trim(filtered).empty()) return;
    std::string result;
    TranslateLine(filtered, result);
    if (OnOutput) OnOutput(*this, result);
}

void TCommandInterface::Emit(const std::string& line) {
    if (OnOutput) OnOutput(*this, line);
}

std::string TCommandInterface::MakeLogLine(const std::string& marker, const std::string& level,
                                           const std::string& text) {
    const std::string cleaned = marker.empty() ? text : Trim(RemoveFirstText(text, marker));
    return cleaned.empty() ? "" : MakeLogStatusLine(level, cleaned);
}
