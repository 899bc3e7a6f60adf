#include "cli/cli_session.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

namespace {

std::atomic<bool> InterruptRequested = false;

extern "C" void OnInterrupt(int) { InterruptRequested = true; }

TOutputMode OutputModeFor(const TCliOptions& options) {
    if (options.Json) return TOutputMode::Json;
    return isatty(fileno(stdout)) ? TOutputMode::Terminal : TOutputMode::Plain;
}

TAnswerPolicy PolicyFor(const TCliOptions& options) {
    if (options.Yes) return TAnswerPolicy::Yes;
    if (options.No) return TAnswerPolicy::No;
    return TAnswerPolicy::Ask;
}

}  // namespace

TCliSession::TCliSession(const TCliOptions& options)
    : OutputPrinter(OutputModeFor(options), stdout),
      TerminalDialogs(OutputPrinter, PolicyFor(options)),
      Scope(&MainLoop, &TerminalDialogs) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A closed terminal and a polite kill end a job as Ctrl-C does.
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

TCliSession::~TCliSession() {
    Commands.Clear();
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);
}

TCommandOutputEvent TCliSession::LineHandler() {
    return [this](TCommandInterface&, const std::string& line) { OutputPrinter.Line(line); };
}

bool TCliSession::RunQueue(bool stopOnFailure) {
    bool finished = false;
    bool allSucceeded = false;
    Commands.Run(stopOnFailure, &CommandLines, nullptr, [&](TCommandsManager&, bool succeeded) {
        allSucceeded = succeeded;
        finished = true;
    });
    bool cancelAsked = false;
    while (Commands.IsRunning() && !finished) {
        MainLoop.RunUntil([&] { return finished || InterruptRequested.load(); }, std::chrono::hours(24));
        if (InterruptRequested.exchange(false) && !cancelAsked) {
            if (ConfirmCancel && !ConfirmCancel()) continue;
            cancelAsked = true;
            Interrupted = true;
            OutputPrinter.EndProgress();
            Commands.Cancel();
        }
    }
    OutputPrinter.EndProgress();
    return finished && allSucceeded && !cancelAsked;
}

int TCliSession::FailureExitCode() const { return Interrupted ? ExitInterrupted : ExitFailure; }
