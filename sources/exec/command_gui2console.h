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

private:
    std::unique_ptr<TGUI2Console> Runner;
    bool Released = false;  // stopped and detached for good; the runner goes with the command

    void DetachRunner();
    void AttachRunner();
};

// The command-lines view keeps at most this many lines before it is cleared.
inline constexpr int CommandLinesViewLimit = 200;
