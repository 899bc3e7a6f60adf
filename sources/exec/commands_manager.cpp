#include "exec/commands_manager.h"

#include <cmath>

#include "lib/product.h"
#include "services/services.h"
#include "settings/language.h"

std::string FormatDuration(double days) {
    const auto total = static_cast<long long>(std::llround(days * MillisecondsPerDay));
    const long long milliseconds = total % 1000;
    const long long seconds = total / 1000 % 60;
    const long long minutes = total / 60000 % 60;
    const long long hours = total / 3600000 % 24;
    std::string text = ZeroPad(seconds, 2) + "s " + ZeroPad(milliseconds, 3) + "ms";
    if (hours != 0)
        text = std::to_string(hours) + "h " + ZeroPad(minutes, 2) + "m " + text;
    else if (minutes != 0)
        text = ZeroPad(minutes, 2) + "m " + text;
    return text;
}

TCommandsManager::TCommandsManager(TEvents events) : Events(std::move(events)) {
    Commands.reserve(100);
    Clear();
}

TCommandsManager::~TCommandsManager() {
    Running = false;
    Clear();
}

TCommandInterface* TCommandsManager::Get(int index) const {
    return index >= 0 && index < Count() ? Commands[static_cast<std::size_t>(index)].get() : nullptr;
}

void TCommandsManager::Add(std::unique_ptr<TCommandInterface> command) {
    if (Running || !command) return;
    Commands.push_back(std::move(command));
}

void TCommandsManager::Run(bool stopOnFailure, TCommandLinesView* commandLineMemo, TEvent onStarted,
                           TFlagEvent onFinished, TSoundEventCode successSound, TSoundEventCode failureSound) {
    if (Running) return;
    Retired.clear();
    Running = true;
    SoundPlayer().Stop();
    StopOnFailure = stopOnFailure;
    CommandLineMemo = commandLineMemo;
    OnStarted = std::move(onStarted);
    OnFinished = std::move(onFinished);
    SuccessSound = successSound;
    FailureSound = failureSound;
    if (Commands.empty()) {
        Running = false;
        return;
    }
    if (Events.OnBegin) Events.OnBegin(*this);
    if (OnStarted) OnStarted(*this);
    StartTime = Now();
    Launch(0);
}

void TCommandsManager::CancelEnable(bool canCancel) {
    if (Events.OnCancelEnable) Events.OnCancelEnable(*this, canCancel);
}

void TCommandsManager::Launch(int index) {
    if (Cancelled) return Finish();
    TCommandInterface* command = nullptr;
    for (CurrentIndex = index; CurrentIndex < Count(); ++CurrentIndex) {
        command = Get(CurrentIndex);
        if (!command->Skipped) break;
    }
    if (CurrentIndex >= Count()) return Finish();
    if (command->Cancelled) return Finish();

    CancelEnable(command->Cancellable);
    if (!command->WaitMessage.empty() && Events.OnMessage) Events.OnMessage(*this, command->WaitMessage);
    TCommandMessageEvent onMessage;
    if (Events.OnMessage)
        onMessage = [this](TCommandInterface&, const std::string& text) { Events.OnMessage(*this, text); };
    command->Execute(
        CommandLineMemo,
        [this](TCommandInterface& sender, const TExecuteStatus& status, const TCommandParamPtr& param) {
            CommandDone(sender, status, param);
        },
        std::move(onMessage));
}

void TCommandsManager::CommandDone(TCommandInterface& sender, const TExecuteStatus& status,
                                   const TCommandParamPtr& param) {
    const TDateTime now = Now();
    CancelEnable(false);
    if (&sender != Get(CurrentIndex)) Dialogs().ShowMessage("INTERNAL ERROR: ReceivedCommand is not LaunchedCommand");

    if (sender.StartTime != 0 && now - sender.StartTime > 0) {
        std::string line = "[" + FormatDuration(now - sender.StartTime);
        if (!sender.Title.empty()) line += " (" + sender.Title + ")";
        sender.Emit(line + "]");
    }
    if (Events.OnCommandEnded) Events.OnCommandEnded(*this, sender.StopWaitingAtEnd);

    const bool isLast = CurrentIndex >= Count() - 1;
    bool continueQueue = !isLast && !Cancelled;
    if (sender.OnEnded) sender.OnEnded(sender, status, continueQueue, param);

    if (isLast || (!status.IsSucceeded() && StopOnFailure) || !continueQueue || Cancelled) return Finish();

    for (int skip = 1; skip <= sender.SkipCount && CurrentIndex + skip < Count(); ++skip)
        Get(CurrentIndex + skip)->Skipped = true;
    Launch(CurrentIndex + 1);
}

void TCommandsManager::Finish() {
    const TDateTime now = Now();
    CancelEnable(false);

    bool allSucceeded = true;
    bool problem = false;
    for (const auto& command : Commands) {
        if (!command->Status.IsSucceeded()) allSucceeded = false;
        if (!command->Skipped && command->Reported &&
            ((command->Status.Finished && !command->Status.Succeeded) || command->Status.IsCancelled()))
            problem = true;
    }

    if (Count() > 1 && StartTime > 0 && now - StartTime > 0)
        Commands.front()->Emit("[" + FormatDuration(now - StartTime) + " (" +
                               Translate("All tasks, and user interactions if any") + ")]");

    if (problem) {
        SoundPlayer().PlaySoundEvent(FailureSound);
        for (const auto& command : Commands)
            if (!command->Skipped && command->Reported) ShowResult(*command);
    } else {
        SoundPlayer().PlaySoundEvent(SuccessSound);
        std::string summary;
        for (const auto& command : Commands) {
            if (command->Skipped || !command->Reported) continue;
            const std::string block =
                command->Status.FormatSuccess(Translate("\"%s\" execution succeeded") + ":", command->Title);
            if (!block.empty()) summary += "  " + block + "\r";
        }
        if (!summary.empty())
            Dialogs().MessageDlg("\r" + Format(Translate("%s success"), std::string(ProductName)) + ":\r\r\r" + summary,
                                 TMsgDlgType::Information, mbOK);
    }

    Clear();
    // Still running during the handlers: a new queue cannot start inside this one.
    if (OnFinished) OnFinished(*this, allSucceeded);
    if (Events.OnAllDone) Events.OnAllDone(*this);
    Running = false;
}

void TCommandsManager::ShowResult(const TCommandInterface& command) const {
    const TExecuteStatus& status = command.Status;
    const std::string title = Translate(command.Title);
    auto show = [](const std::string& text, TMsgDlgType type) { Dialogs().MessageDlg(text, type, mbOK); };
    if (status.IsSucceeded()) {
        const std::string format = Translate("\"%s\" execution succeeded");
        if (status.SuccessLines.empty())
            show("\r" + Format(format, title) + ".", TMsgDlgType::Information);
        else
            show(status.FormatSuccess(format + ":", title), TMsgDlgType::Information);
    } else if (status.IsFailed()) {
        const std::string format = Translate("\"%s\" execution failed");
        if (status.ErrorLines.empty())
            show("\r" + Format(format, title) + ".", TMsgDlgType::Error);
        else
            show(status.FormatFailure(format + ":", title), TMsgDlgType::Error);
    } else if (status.IsCancelled()) {
        show("\r" + Format(Translate("\"%s\" execution cancelled"), title) + ".", TMsgDlgType::Information);
    }
}

void TCommandsManager::Cancel() {
    if (!Running) return;
    CancelEnable(false);
    if (Events.OnMessage) Events.OnMessage(*this, Translate("Please wait while cancelling") + "...");
    Cancelled = true;
    StopOnFailure = true;
    for (int index = CurrentIndex + 1; index < Count(); ++index) Get(index)->Cancelled = true;
    TCommandInterface* current = Get(CurrentIndex);
    if (current && !current->Status.Finished && current->Cancellable) current->Cancel();
}

void TCommandsManager::Clear() {
    StopOnFailure = true;
    Cancelled = false;
    CurrentIndex = -1;
    // The queue ends from inside the last command's own calls: commands are
    // released now but freed only once no call of theirs can be on the stack.
    std::vector<std::unique_ptr<TCommandInterface>> released = std::move(Commands);
    Commands.clear();
    for (const auto& command : released) command->Release();
    for (auto& command : released) Retired.push_back(std::move(command));
    if (!Running) Retired.clear();
}
