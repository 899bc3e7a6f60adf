#include "exec/command_gui2console.h"

#include <utility>

#include "platform/child_process.h"
#include "services/services.h"
#include "settings/language.h"

TCommandGui2Console::TCommandGui2Console(TCommandSetup setup)
    : TCommandInterface(std::move(setup)), Runner(std::make_unique<TGUI2Console>()) {}

void TCommandGui2Console::DetachRunner() {
    Runner->OnDone = nullptr;
    Runner->OnError = nullptr;
    Runner->OnLine = nullptr;
}

void TCommandGui2Console::AttachRunner() {
    Runner->OnDone = [this](TGUI2Console&, std::uint32_t exitCode) { CommandEnded(exitCode); };
    Runner->OnError = [this](TGUI2Console&, const std::string& error) { ConsoleError(error); };
    Runner->OnLine = [this](TGUI2Console&, const std::string& line) { EmitLine(line); };
}

void TCommandGui2Console::Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone,
                                  TCommandMessageEvent onMessage) {
    if (Cancelled || !Runner || Released) return;
    TCommandInterface::Execute(commandLineMemo, std::move(onDone), std::move(onMessage));
    DetachRunner();
    Runner->Stop();

    Runner->AppType = TAppType::at32bit;
    Runner->AutoTerminate = false;
    Runner->PipeSize = TPipeSize::ps256k;
    Runner->BufferSize = TBufferSize::bs256;
    Runner->TimeOutDelay = 50;
    Runner->Priority = TThreadPriority::tpNormal;
    Runner->Stop();
    Runner->Application.clear();

    std::string folder;
    GetWorkingFolder(folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    Runner->HomeDirectory = folder;
    std::string executable;
    std::string parameters;
    GetExecutable(executable);
    GetParameters(parameters);
    Runner->Command = "\"" + executable + "\" " + parameters;
    AttachRunner();

    bool proceed = true;
    BeforeStart(proceed);
    if (!proceed) {
        // Ends without having started: neither succeeded, failed nor cancelled.
        if (TCommandDoneEvent done = std::exchange(OnDone, nullptr)) done(*this, Status, Param);
        return;
    }

    if (CommandLineMemo) {
        if (CommandLineMemo->LineCount() > CommandLinesViewLimit) CommandLineMemo->Clear();
        CommandLineMemo->AddLine("cd \"" + Runner->HomeDirectory + "\"");
        CommandLineMemo->AddLine(Runner->Command);
        CommandLineMemo->AddLine("");
        CommandLineMemo->ShowStart();
    }
    if (!Cancelled) {
        Status.Started = true;
        Runner->Start();
    }
}

void TCommandGui2Console::WriteInput(const std::string& text) {
    if (Runner && !Released && !Cancelled) Runner->Write(text);
}

void TCommandGui2Console::ConsoleError(const std::string& error) {
    if (!Runner || Cancelled || Released) return;
    Failed = true;
    EmitLine("ERROR:Error while trying to execute " + Title + ". Execution aborted...");
    if (!Trim(error).empty()) EmitLine("ERROR:" + error);
    Status.SetFailed();
}

void TCommandGui2Console::FailAndStop(const std::string& reason) {
    if (!Runner || Cancelled || Released || Stopping) return;
    Stopping = true;
    Failed = true;
    Status.ErrorLines.push_back(reason);
    DetachRunner();
    Runner->Stop();
    MainThread().Post([this, alive = std::weak_ptr<int>(Alive)] {
        if (!alive.expired() && !Cancelled && !Released) CommandEnded(KilledExitCode);
    });
}

std::string ExitCodeRemark(std::uint32_t exitCode) {
    if (exitCode == KilledExitCode) return Translate("The tool was killed");
    std::string remark = Format(Translate("The tool ended with the exit code %s"), std::to_string(exitCode));
    if (exitCode > 128 && exitCode < 128 + 65)
        remark += " (" + Format(Translate("signal %s"), std::to_string(exitCode - 128)) + ")";
    return remark;
}

void TCommandGui2Console::CommandEnded(std::uint32_t exitCode) {
    if (Runner) DetachRunner();
    TCommandInterface::CommandEnded(exitCode);
}

// A tool that crashed or failed without a word.
void TCommandGui2Console::ExplainFailure(std::uint32_t exitCode) {
    if (exitCode != 0) Status.ErrorLines.push_back(ExitCodeRemark(exitCode));
}

void TCommandGui2Console::Cancel() {
    if (!Runner || Cancelled || Released) return;
    Cancelled = true;
    DetachRunner();
    Runner->Stop();
    Status.SetCancelled();
    CommandEnded(1);
}

void TCommandGui2Console::Release() {
    if (!Runner) return;
    OnDone = nullptr;
    DetachRunner();
    Runner->Stop();
    Released = true;
}

TCommandGui2Console::~TCommandGui2Console() {
    Release();
    Runner.reset();  // waits until the stopped child is reaped
}
