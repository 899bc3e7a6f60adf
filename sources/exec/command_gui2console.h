// TCommandGui2Console is the base of every command that runs an external
// console tool: subclasses give the executable, its parameters and working
// folder, filter the tool's lines and judge its end.
#pragma once

#include <memory>

#include "exec/command_interface.h"
#include "lib/console_runner.h"

class TCommandGui2Console : public TCommandInterface {
public:
    explicit TCommandGui2Console(TCommandSetup setup);
    ~TCommandGui2Console() override;

    void CommandEnded(std::uint32_t exitCode) override;
    void ExplainFailure(std::uint32_t exitCode) override;
    void Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone, TCommandMessageEvent onMessage) override;
    void Cancel() override;
    void Release() override;

    // Called once the command line is built; clearing `proceed` vetoes the run.
    virtual void BeforeStart(bool& proceed) = 0;
    virtual void GetExecutable(std::string& path) = 0;
    virtual void GetParameters(std::string& arguments) = 0;
    virtual void GetWorkingFolder(std::string& folder) = 0;

    // Writes to the running tool's standard input (answers a prompt).
    void WriteInput(const std::string& text);

    // The runner's error handler.
    void ConsoleError(const std::string& error);
    // Ends the run as failed with `reason` among the error lines: the tool is
    // killed at once, the end follows once the current line is handled.
    void FailAndStop(const std::string& reason);

private:
    std::unique_ptr<TGUI2Console> Runner;
    bool Released = false;  // stopped and detached for good; the runner goes with the command
    bool Stopping = false;  // FailAndStop was called; the end is on its way
    // Lets a posted end know whether the command still exists.
    std::shared_ptr<int> Alive = std::make_shared<int>(0);

    void DetachRunner();
    void AttachRunner();
};

// "The tool ended with the exit code 139 (signal 11)" and the like.
std::string ExitCodeRemark(std::uint32_t exitCode);

// The command-lines view keeps at most this many lines before it is cleared.
inline constexpr int CommandLinesViewLimit = 200;
