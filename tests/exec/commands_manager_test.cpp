#include "exec/commands_manager.h"

#include <gtest/gtest.h>

#include <thread>

#include "exec/status_lines.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"

namespace {

class TRecordingSoundPlayer final : public TSoundPlayer {
public:
    std::vector<int> Played;
    int Stops = 0;
    void PlayWave(const std::vector<std::uint8_t>&) override {}
    void PlaySoundEvent(TSoundEventCode code) override { Played.push_back(code); }
    void Stop() override { ++Stops; }
};

TCommandSetup MakeSetup(std::vector<std::string>& journal, std::string title) {
    TCommandSetup setup;
    setup.OnOutput = [&journal](TCommandInterface&, const std::string& line) { journal.push_back("out " + line); };
    setup.Title = std::move(title);
    setup.Param = std::make_shared<TCommandParam>();
    return setup;
}

// An in-process command that ends inside Execute, or later when told to.
class TFakeCommand final : public TCommandInterface {
public:
    TFakeCommand(std::vector<std::string>& journal, std::string title, std::uint32_t exitCode = 0,
                 bool endsAtOnce = true)
        : TCommandInterface(MakeSetup(journal, std::move(title))),
          Journal(journal),
          ExitCode(exitCode),
          EndsAtOnce(endsAtOnce) {}

    std::vector<std::string>& Journal;
    std::uint32_t ExitCode;
    bool EndsAtOnce;
    TStringList RemarksOnSuccess;

    void Execute(TCommandLinesView* memo, TCommandDoneEvent onDone, TCommandMessageEvent onMessage) override {
        TCommandInterface::Execute(memo, std::move(onDone), std::move(onMessage));
        Journal.push_back("execute " + Title);
        if (EndsAtOnce) CommandEnded(ExitCode);
    }
    void OnSuccess() override { Status.SuccessLines = RemarksOnSuccess; }
    void OnFailure() override { Journal.push_back("failure " + Title); }
    void OnCancel() override { Journal.push_back("cancel " + Title); }
    void FilterLine(std::string&) override {}
    void Cancel() override {
        Cancelled = true;
        CommandEnded(1);
    }
    void Release() override { Journal.push_back("release " + Title); }
};

class CommandsManager : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TRecordingSoundPlayer Sounds;
    TServicesScope Scope{&Loop, &Dialogs, &Sounds};
    std::vector<std::string> Journal;
    std::unique_ptr<TCommandsManager> Manager = std::make_unique<TCommandsManager>(TCommandsManager::TEvents{
        .OnBegin = [this](TCommandsManager&) { Journal.push_back("begin"); },
        .OnCommandEnded = [this](TCommandsManager&, bool) { Journal.push_back("ended"); },
        .OnAllDone =
            [this](TCommandsManager& manager) {
                Journal.push_back(std::string("all done, running ") + (manager.IsRunning() ? "yes" : "no"));
            },
        .OnMessage = nullptr,
        .OnCancelEnable = nullptr});
    std::optional<bool> AllSucceeded;

    TFakeCommand* Add(const std::string& title, std::uint32_t exitCode = 0, bool endsAtOnce = true) {
        auto command = std::make_unique<TFakeCommand>(Journal, title, exitCode, endsAtOnce);
        TFakeCommand* raw = command.get();
        Manager->Add(std::move(command));
        return raw;
    }

    void Run() {
        Manager->Run(
            true, nullptr, nullptr, [this](TCommandsManager&, bool allSucceeded) { AllSucceeded = allSucceeded; }, 1,
            2);
    }

    // The journal without the elapsed-time lines, whose figures vary.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const std::string& entry : Journal)
            if (entry.rfind("out [", 0) != 0 || entry.find("s ") == std::string::npos) steps.push_back(entry);
        return steps;
    }
};

TEST(Duration, FormatsLikeAStopwatch) {
    const double second = 1.0 / 86400.0;
    EXPECT_EQ(FormatDuration(7.25 * second), "07s 250ms");
    EXPECT_EQ(FormatDuration(125.003 * second), "02m 05s 003ms");
    EXPECT_EQ(FormatDuration(3725 * second), "1h 02m 05s 000ms");
    EXPECT_EQ(FormatDuration(0), "00s 000ms");
    EXPECT_EQ(FormatDuration(25 * 3600 * second), "1h 00m 00s 000ms");  // hours wrap at a day
}

TEST_F(CommandsManager, AnEmptyQueueCallsNothing) {
    Run();
    EXPECT_TRUE(Journal.empty());
    EXPECT_FALSE(Manager->IsRunning());
    EXPECT_FALSE(AllSucceeded.has_value());
}

TEST_F(CommandsManager, OneQuietSuccessShowsNoBoxAndPlaysTheSuccessSound) {
    Add("one");
    Run();
    EXPECT_EQ(Steps(), (std::vector<std::string>{"begin", "out [one]", "execute one", "ended", "release one",
                                                 "all done, running yes"}));
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Sounds.Played, (std::vector<int>{1}));
    EXPECT_EQ(Sounds.Stops, 1);
    EXPECT_EQ(AllSucceeded, true);
    EXPECT_FALSE(Manager->IsRunning());
    EXPECT_TRUE(Manager->IsEmpty());
}

TEST_F(CommandsManager, SkipCountPassesOverTheNextCommands) {
    Add("first")->OnEnded = [](TCommandInterface& sender, const TExecuteStatus&, bool&, const TCommandParamPtr&) {
        sender.SkipCount = 1;
    };
    Add("second");
    Add("third")->RemarksOnSuccess = {"3 files"};
    Run();
    const auto steps = Steps();
    EXPECT_NE(std::find(steps.begin(), steps.end(), "execute third"), steps.end());
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "execute second"), steps.end());
    // The skipped command spoils the overall flag but not the summary.
    EXPECT_EQ(AllSucceeded, false);
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0], "\rLumora success:\r\r\r  \"third\" execution succeeded:\r      3 files  \r\r");
}

TEST_F(CommandsManager, AFailureStopsTheQueueAndShowsItsBox) {
    Add("first");
    Add("second", 3)->Status.ErrorLines = {"ERROR: no disc"};
    Add("third");
    Run();
    const auto steps = Steps();
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "execute third"), steps.end());
    EXPECT_NE(std::find(steps.begin(), steps.end(), "failure second"), steps.end());
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"first\" execution succeeded.",
                                                            "\"second\" execution failed:\r      ERROR: no disc  \r"}));
    EXPECT_EQ(Dialogs.Asked[1].Type, TMsgDlgType::Error);
    EXPECT_EQ(Sounds.Played, (std::vector<int>{2}));
    EXPECT_EQ(AllSucceeded, false);
    // Every command is released, those that never ran too.
    EXPECT_EQ(std::count_if(steps.begin(), steps.end(), [](const auto& s) { return s.rfind("release", 0) == 0; }), 3);
}

TEST_F(CommandsManager, AnEndHandlerCanStopTheQueue) {
    Add("first")->OnEnded = [](TCommandInterface&, const TExecuteStatus&, bool& continueQueue,
                               const TCommandParamPtr&) { continueQueue = false; };
    Add("second");
    Run();
    const auto steps = Steps();
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "execute second"), steps.end());
    EXPECT_TRUE(Dialogs.Messages().empty());  // a stop without a failure is no problem
}

TEST_F(CommandsManager, CancelDuringTheFirstReportsOnlyIt) {
    Add("first", 0, false);
    Add("second");
    Add("third");
    Run();
    ASSERT_TRUE(Manager->IsRunning());
    Add("late");  // ignored while running
    EXPECT_EQ(Manager->Count(), 3);
    Manager->Cancel();
    EXPECT_FALSE(Manager->IsRunning());
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"first\" execution cancelled."}));
    const auto steps = Steps();
    EXPECT_NE(std::find(steps.begin(), steps.end(), "cancel first"), steps.end());
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "execute second"), steps.end());
    EXPECT_EQ(Sounds.Played, (std::vector<int>{2}));
}

TEST_F(CommandsManager, ACancelFromTheFirstLineStillEndsTheQueue) {
    TFakeCommand* first = Add("first", 0, false);
    first->OnOutput = [this](TCommandInterface&, const std::string&) { Manager->Cancel(); };
    Add("second");
    Run();
    EXPECT_FALSE(Manager->IsRunning());
    EXPECT_EQ(AllSucceeded, false);
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"first\" execution cancelled."}));
}

TEST_F(CommandsManager, SeveralCommandsEndWithTheTotalTime) {
    Add("first")->OnEnded = [](TCommandInterface&, const TExecuteStatus&, bool&, const TCommandParamPtr&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    Add("second");
    Run();
    const bool hasTotal = std::any_of(Journal.begin(), Journal.end(), [](const std::string& entry) {
        return entry.find("(All tasks, and user interactions if any)]") != std::string::npos;
    });
    EXPECT_TRUE(hasTotal);
}

TEST(CommandInterface, EmitsFilteredTranslatedLinesAndMarksLogLines) {
    struct TUpperCommand final : TCommandInterface {
        using TCommandInterface::TCommandInterface;
        void OnSuccess() override {}
        void OnFailure() override {}
        void OnCancel() override {}
        void FilterLine(std::string& line) override {
            if (line.find("noise") != std::string::npos) line = "  ";
        }
        void Cancel() override {}
        void Release() override {}
    };
    TScriptedDialogs dialogs;
    TServicesScope scope(nullptr, &dialogs);
    std::vector<std::string> out;
    TCommandSetup setup;
    setup.OnOutput = [&](TCommandInterface&, const std::string& line) { out.push_back(line); };
    setup.Title = "tool";  // and no parameters
    TUpperCommand command(std::move(setup));
    EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{"DEBUG: data for tool must not be nul"}));
    command.EmitLine("  kept  ");
    command.EmitLine("some noise");
    command.Emit("  raw  ");
    command.Cancelled = true;
    command.EmitLine("after cancel");
    EXPECT_EQ(out, (std::vector<std::string>{"kept", "  raw  "}));

    EXPECT_EQ(TCommandInterface::MakeLogLine("info:", LogLevel::Information, "INFO: scanning"),
              "<log level=\"information\">scanning</log>");
    EXPECT_EQ(TCommandInterface::MakeLogLine("error:", LogLevel::Error, "ERROR:"), "");
}

}  // namespace
