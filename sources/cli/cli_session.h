// What every sub-command shares: the loop that stands for the main thread,
// the printer, the dialogs, the commands manager, and Ctrl-C as cancel.
#pragma once

#include <functional>
#include <memory>

#include "cli/status_printer.h"
#include "cli/terminal_dialogs.h"
#include "exec/commands_manager.h"
#include "services/services.h"

struct TCliOptions {
    bool Json = false;
    bool Yes = false;
    bool No = false;
    bool Expert = false;  // expert mode whatever the stored setting says
};

class TCliSession {
public:
    explicit TCliSession(const TCliOptions& options);
    ~TCliSession();
    TCliSession(const TCliSession&) = delete;
    TCliSession& operator=(const TCliSession&) = delete;

    TStatusPrinter& Printer() { return OutputPrinter; }
    TCommandsManager& Manager() { return Commands; }
    TLoopMainThread& Loop() { return MainLoop; }
    // Every status line a command emits goes to the printer.
    TCommandOutputEvent LineHandler();

    // Runs the queued commands to their end, Ctrl-C cancelling them; true
    // when every command succeeded.
    bool RunQueue(bool stopOnFailure = true);
    // Asked at Ctrl-C before the queue is cancelled; false lets it run on.
    std::function<bool()> ConfirmCancel;
    // The user pressed Ctrl-C during a queue: the job stops after it.
    bool WasInterrupted() const { return Interrupted; }
    int FailureExitCode() const;
    // Error boxes shown so far: any of them makes the job fail.
    int ErrorsShown() const { return TerminalDialogs.ErrorsShown(); }

private:
    TLoopMainThread MainLoop;
    TStatusPrinter OutputPrinter;
    TTerminalDialogs TerminalDialogs;
    TServicesScope Scope;
    TCommandLinesList CommandLines;
    TCommandsManager Commands;
    bool Interrupted = false;
};

// Exit codes of lumora-cli.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitInterrupted = 130;  // as shells report an end by Ctrl-C
