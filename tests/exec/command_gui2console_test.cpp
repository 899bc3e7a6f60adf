#include "exec/command_gui2console.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "exec/commands_manager.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace std::chrono_literals;

// Runs a shell script; lines holding "ERROR" mark the command failed.
class TShellCommand final : public TCommandGui2Console {
public:
    TShellCommand(std::vector<std::string>& output, std::string executable, std::string script, std::string folder)
        : TCommandGui2Console(MakeSetup(output)),
          Executable(std::move(executable)),
          Script(std::move(script)),
          Folder(std::move(folder)) {}

    std::string Executable;
    std::string Script;
    std::string Folder;
    bool Veto = false;
    bool ServeEventsBeforeStart = false;
    std::vector<std::string> Hooks;

    void BeforeStart(bool& proceed) override {
        if (ServeEventsBeforeStart) MainThread().ProcessPending();  // as a file preparation does
        proceed = !Veto;
    }
    void GetExecutable(std::string& path) override { path = Executable; }
    void GetParameters(std::string& arguments) override { arguments = "-c '" + Script + "'"; }
    void GetWorkingFolder(std::string& folder) override { folder = Folder; }
    void OnSuccess() override { Hooks.push_back("success"); }
    void OnFailure() override { Hooks.push_back("failure"); }
    void OnCancel() override { Hooks.push_back("cancel"); }
    void FilterLine(std::string& line) override {
        if (line.find("ERROR") != std::string::npos) Failed = true;
        if (line == "hidden") line.clear();
    }

private:
    static TCommandSetup MakeSetup(std::vector<std::string>& output) {
        TCommandSetup setup;
        setup.OnOutput = [&output](TCommandInterface&, const std::string& line) { output.push_back(line); };
        setup.Title = "sh";
        setup.Param = std::make_shared<TCommandParam>();
        return setup;
    }
};

class ConsoleCommand : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Loop, &Dialogs};
    TTempFolder Folder;
    std::vector<std::string> Output;
    TCommandLinesList Memo;
    std::optional<TExecuteStatus> EndStatus;
    int Ends = 0;

    std::unique_ptr<TShellCommand> Make(const std::string& script, const std::string& executable = "/bin/sh") {
        return std::make_unique<TShellCommand>(Output, executable, script, Folder.Path().string());
    }

    void Execute(TShellCommand& command) {
        command.Execute(
            &Memo,
            [this](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) {
                EndStatus = status;
                ++Ends;
            },
            nullptr);
    }

    bool WaitEnd() {
        return Loop.RunUntil([&] { return Ends > 0; }, 20s);
    }
};

TEST_F(ConsoleCommand, RunsTheToolInItsFolderAndShowsTheCommandLines) {
    auto command = Make("pwd; echo hidden; echo done");
    Execute(*command);
    ASSERT_TRUE(WaitEnd());
    const std::string folder = Folder.Path().string() + "/";
    EXPECT_EQ(Output, (std::vector<std::string>{"[sh]", Folder.Path().string(), "done"}));
    EXPECT_EQ(Memo.Lines,
              (std::vector<std::string>{"cd \"" + folder + "\"", "\"/bin/sh\" -c 'pwd; echo hidden; echo done'", ""}));
    EXPECT_TRUE(EndStatus->IsSucceeded());
    EXPECT_EQ(command->Hooks, (std::vector<std::string>{"success"}));
    EXPECT_TRUE(command->Status.Started);
}

TEST_F(ConsoleCommand, TheCommandLinesViewIsClearedAfterTwoHundredLines) {
    for (const auto& [before, after] : {std::pair{200, 203}, std::pair{201, 3}}) {
        Memo.Lines.assign(static_cast<std::size_t>(before), "old");
        Ends = 0;
        auto command = Make("true");
        Execute(*command);
        ASSERT_TRUE(WaitEnd());
        EXPECT_EQ(Memo.LineCount(), after) << before;
    }
}

TEST_F(ConsoleCommand, AToolPathWithBlanksWorks) {
    const std::filesystem::path tools = std::filesystem::path(Folder.Path()) / "my tools";
    std::filesystem::create_directories(tools);
    std::filesystem::copy_file("/bin/sh", tools / "s h");
    auto command = Make("echo \"it ran\"", (tools / "s h").string());
    Execute(*command);
    ASSERT_TRUE(WaitEnd());
    EXPECT_EQ(Output.back(), "it ran");
    EXPECT_TRUE(EndStatus->IsSucceeded());
}

TEST_F(ConsoleCommand, FailureComesFromTheFilterOrTheExitCode) {
    for (const std::string script : {"echo ERROR: bad stream; exit 0", "echo fine; exit 3"}) {
        Ends = 0;
        auto command = Make(script);
        Execute(*command);
        ASSERT_TRUE(WaitEnd());
        EXPECT_TRUE(EndStatus->IsFailed()) << script;
        EXPECT_EQ(command->Hooks, (std::vector<std::string>{"failure"})) << script;
    }
}

TEST_F(ConsoleCommand, AMissingToolFailsWithTheAbortLines) {
    auto command = Make("true", Folder.File("no-such-tool"));
    Execute(*command);
    ASSERT_TRUE(WaitEnd());
    ASSERT_GE(Output.size(), 3u);
    EXPECT_EQ(Output[1], "ERROR:Error while trying to execute sh. Execution aborted...");
    EXPECT_EQ(Output[2].rfind("ERROR:", 0), 0u);
    EXPECT_TRUE(EndStatus->IsFailed());
    EXPECT_EQ(Ends, 1);
}

TEST_F(ConsoleCommand, AVetoedStartEndsWithoutAnOutcome) {
    auto command = Make("echo never");
    command->Veto = true;
    Execute(*command);
    EXPECT_EQ(Ends, 1);
    EXPECT_FALSE(EndStatus->Started || EndStatus->IsFailed() || EndStatus->IsCancelled());
    EXPECT_TRUE(Memo.Lines.empty());
}

TEST_F(ConsoleCommand, ACancelServedBeforeTheStartEndsTheQueueWithoutATool) {
    TCommandsManager manager;
    auto command = Make("echo started > started");
    command->ServeEventsBeforeStart = true;
    manager.Add(std::move(command));
    Loop.Post([&] { manager.Cancel(); });
    manager.Run(true, &Memo);
    EXPECT_FALSE(manager.IsRunning());
    Loop.RunUntil([] { return false; }, 300ms);
    EXPECT_FALSE(std::filesystem::exists(Folder.File("started")));
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"sh\" execution cancelled."}));
}

TEST_F(ConsoleCommand, CancelEndsAtOnceEvenWhenTheToolIgnoresTermination) {
    TCommandsManager manager;
    auto command = Make("trap \"\" TERM; echo $$ > pid; echo started; sleep 30");
    TShellCommand* raw = command.get();
    std::vector<std::string> hooks;
    command->OnEnded = [&](TCommandInterface&, const TExecuteStatus& status, bool&, const TCommandParamPtr&) {
        hooks = raw->Hooks;
        EndStatus = status;
        ++Ends;
    };
    manager.Add(std::move(command));
    manager.Run(true, &Memo);
    ASSERT_TRUE(Loop.RunUntil([&] { return !Output.empty() && Output.back() == "started"; }, 10s));
    manager.Cancel();
    // Ended within the call, not when the process died.
    EXPECT_EQ(Ends, 1);
    EXPECT_TRUE(EndStatus->IsCancelled());
    EXPECT_EQ(hooks, (std::vector<std::string>{"cancel"}));
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"sh\" execution cancelled."}));

    std::ifstream pidFile(Folder.File("pid"));
    pid_t pid = 0;
    pidFile >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Loop.RunUntil([&] { return kill(pid, 0) != 0 && errno == ESRCH; }, 10s)) << "child still there";
}

}  // namespace
