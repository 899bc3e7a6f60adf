#include "lib/console_runner.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <fstream>
#include <numeric>
#include <thread>

#include "services/services.h"
#include "support/temp_folder.h"

namespace {

using namespace std::chrono_literals;

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

bool ProcessExists(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

pid_t ReadPid(const std::string& path) {
    std::ifstream in(path);
    pid_t pid = -1;
    in >> pid;
    return pid;
}

// A runner on a loop main thread that records every event as text.
class ConsoleRunner : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TServicesScope Scope{&Loop, nullptr};
    std::unique_ptr<TGUI2Console> Runner = std::make_unique<TGUI2Console>();
    std::vector<std::string> Events;
    std::vector<std::string> Lines;
    bool Done = false;
    std::uint32_t ExitCode = 0;

    void SetUp() override {
        Runner->OnStart = [this](TGUI2Console&, const std::string& command) { Events.push_back("start " + command); };
        Runner->OnLine = [this](TGUI2Console&, const std::string& line) { Lines.push_back(line); };
        Runner->OnError = [this](TGUI2Console&, const std::string& error) { Events.push_back("error " + error); };
        Runner->OnStatus = [this](TGUI2Console&, const std::string& status) { Events.push_back("status " + status); };
        Runner->OnPreTerminate = [this](TGUI2Console&) { Events.push_back("preterminate"); };
        Runner->OnDone = [this](TGUI2Console&, std::uint32_t code) {
            Events.push_back("done " + std::to_string(code));
            ExitCode = code;
            Done = true;
        };
    }

    void RunShell(const std::string& script) {
        Runner->Command = "sh -c '" + script + "'";
        Runner->Start();
    }

    bool WaitDone(std::chrono::milliseconds timeout = 20s) {
        return Loop.RunUntil([&] { return Done; }, timeout);
    }
};

TEST_F(ConsoleRunner, DeliversLinesThenTheEndInOrder) {
    RunShell("echo first; echo; printf \"second\\r\\nthird\\rlast\"; exit 3");
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Lines, (std::vector<std::string>{"first", "second", "third"}));  // "last" never ended
    EXPECT_EQ(Events, (std::vector<std::string>{"start " + Runner->Command, "preterminate",
                                                "status Normal Thread Termination", "done 3"}));
    EXPECT_FALSE(Runner->IsRunning());
}

TEST_F(ConsoleRunner, ACrEndingOneChunkAndAnLfStartingTheNextGiveOneLine) {
    RunShell("printf \"one\\r\"; sleep 0.3; printf \"\\ntwo\\n\"");
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Lines, (std::vector<std::string>{"one", "two"}));
}

TEST_F(ConsoleRunner, AnUnfinishedPromptIsReportedAfterTheIdleDelay) {
    std::string prompted;
    Runner->TimeOutDelay = 100;
    Runner->SetPrompt("Password: ");
    Runner->OnPrompt = [&](TGUI2Console& sender, const std::string& line) {
        prompted = line;
        sender.WriteLine("secret");
    };
    RunShell("printf \"Enter Password: \"; read answer; echo \"got $answer\"");
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(prompted, "Enter Password: ");
    // The prompt stays the start of the unfinished line, which the answer's echo completes.
    EXPECT_EQ(Lines, (std::vector<std::string>{"Enter Password: got secret"}));
}

TEST_F(ConsoleRunner, SilenceWithoutPromptAsksWhetherToKill) {
    int timeouts = 0;
    Runner->TimeOutDelay = 50;
    Runner->OnTimeOut = [&](TGUI2Console&, bool& kill) { kill = ++timeouts == 3; };
    RunShell("sleep 20");
    ASSERT_TRUE(WaitDone(10s));
    EXPECT_EQ(timeouts, 3);
    EXPECT_EQ(ExitCode, 0xFFFFFFF7u);
}

TEST_F(ConsoleRunner, AutoTerminateEndsASilentChild) {
    Runner->TimeOutDelay = 100;
    Runner->AutoTerminate = true;
    const auto started = std::chrono::steady_clock::now();
    RunShell("sleep 20");
    ASSERT_TRUE(WaitDone(10s));
    EXPECT_EQ(ExitCode, 0xFFFFFFF7u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

TEST_F(ConsoleRunner, AMissingProgramGivesAnErrorThenDoneWithOne) {
    Runner->Command = "\"/nonexistent/folder/tool\" --help";
    Runner->Start();
    ASSERT_TRUE(WaitDone());
    ASSERT_EQ(Events.size(), 3u);
    EXPECT_EQ(Events[1], "error Error Creating Process  Error Code :2");
    EXPECT_EQ(Events[2], "done 1");
}

TEST_F(ConsoleRunner, StartWhileRunningIsRefused) {
    RunShell("sleep 0.5");
    Runner->Start();
    EXPECT_EQ(Events, (std::vector<std::string>{"error Process Already Running"}));
    ASSERT_TRUE(WaitDone());
}

TEST_F(ConsoleRunner, StopDeliversNothingMoreAndLeavesNothingBehind) {
    TTempFolder folder;
    const int descriptorsBefore = OpenDescriptorCount();
    // The shell ignores SIGTERM: stopping must still end it and its children.
    RunShell("trap \"\" TERM; echo $$ > " + folder.File("pid") + "; while :; do echo tick; sleep 0.01; done");
    ASSERT_TRUE(Loop.RunUntil([&] { return Lines.size() >= 3; }, 10s));
    const pid_t pid = ReadPid(folder.File("pid"));
    ASSERT_GT(pid, 0);

    Runner->Stop();
    const std::size_t linesAtStop = Lines.size();
    const std::size_t eventsAtStop = Events.size();
    Loop.RunUntil([] { return false; }, 300ms);
    EXPECT_EQ(Lines.size(), linesAtStop);
    EXPECT_EQ(Events.size(), eventsAtStop);
    EXPECT_FALSE(Runner->IsRunning());

    Runner.reset();  // waits for the worker to reap its child
    EXPECT_FALSE(ProcessExists(pid));
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

TEST_F(ConsoleRunner, DestroyingARunningRunnerEndsTheChild) {
    TTempFolder folder;
    RunShell("echo $$ > " + folder.File("pid") + "; echo ready; sleep 30");
    ASSERT_TRUE(Loop.RunUntil([&] { return !Lines.empty(); }, 10s));
    const pid_t pid = ReadPid(folder.File("pid"));
    Runner.reset();
    EXPECT_FALSE(ProcessExists(pid));
    EXPECT_FALSE(Done);
}

TEST_F(ConsoleRunner, DestroyingTheRunnerFromAQueuedTaskDoesNotWaitForItself) {
    // The first line's hand-off is queued right behind the task that destroys
    // the runner; the destruction must serve it instead of waiting for it.
    bool destroyed = false;
    RunShell("yes line");
    Loop.Post([&] {
        Runner.reset();
        destroyed = true;
    });
    std::this_thread::sleep_for(200ms);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Loop.RunUntil([&] { return destroyed; }, 30s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(ConsoleRunner, DestroyingTheRunnerFromItsOwnEventEndsTheChildAtOnce) {
    TTempFolder folder;
    bool destroyed = false;
    Runner->OnLine = [&](TGUI2Console&, const std::string&) {
        if (destroyed) return;
        destroyed = true;
        const auto start = std::chrono::steady_clock::now();
        Runner.reset();  // the worker is waiting for this very event
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    };
    RunShell("echo $$ > " + folder.File("pid") + "; while :; do echo tick; sleep 0.01; done");
    ASSERT_TRUE(Loop.RunUntil([&] { return destroyed; }, 10s));
    const pid_t pid = ReadPid(folder.File("pid"));
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Loop.RunUntil([&] { return !ProcessExists(pid); }, 10s));
}

TEST_F(ConsoleRunner, AThrowingHandlerReleasesTheWorker) {
    Runner->OnLine = [](TGUI2Console&, const std::string&) { throw std::runtime_error("handler failed"); };
    RunShell("echo one; sleep 0.1; echo two");
    int thrown = 0;
    for (int round = 0; round < 10 && !Done; ++round) {
        try {
            Loop.RunUntil([&] { return Done; }, 10s);
        } catch (const std::runtime_error&) {
            ++thrown;
        }
    }
    EXPECT_EQ(thrown, 2);
    // The worker was not left waiting: the run still came to its end.
    EXPECT_TRUE(Done);
}

TEST_F(ConsoleRunner, TensOfMegabytesOfLinesArriveComplete) {
    const long count = 3000000;  // about 21 MB
    long sum = 0;
    long seen = 0;
    bool ordered = true;
    Runner->OnLine = [&](TGUI2Console&, const std::string& line) {
        const long value = std::stol(line);
        ordered = ordered && value == seen + 1;
        ++seen;
        sum += value;
    };
    Runner->BufferSize = TBufferSize::bs256;
    RunShell("seq 1 " + std::to_string(count));
    ASSERT_TRUE(WaitDone(120s));
    EXPECT_EQ(ExitCode, 0u);
    EXPECT_EQ(seen, count);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(sum, count * (count + 1) / 2);
}

TEST_F(ConsoleRunner, HonoursWorkingFolderEnvironmentAndLogFile) {
    TTempFolder folder;
    Runner->HomeDirectory = folder.Path().string();
    Runner->Environment = "PATH=/opt/lumora-tools;%PATH% \nLUMORA_TEST=yes";
    Runner->LogFile = folder.File("run.log");
    RunShell("pwd; echo \"$PATH\"; echo \"$LUMORA_TEST\"");
    ASSERT_TRUE(WaitDone());
    ASSERT_EQ(Lines.size(), 3u);
    EXPECT_EQ(Lines[0], folder.Path().string());
    EXPECT_EQ(Lines[1].rfind("/opt/lumora-tools:", 0), 0u) << Lines[1];
    EXPECT_EQ(Lines[2], "yes");
    EXPECT_EQ(ReadWholeFile(folder.File("run.log")), Lines[0] + "\r\n" + Lines[1] + "\r\nyes\r\n");
}

TEST_F(ConsoleRunner, AnUnwritableLogFileIsReportedAndTheRunGoesOn) {
    Runner->LogFile = "/nonexistent/folder/run.log";
    RunShell("echo hello");
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Events.front().rfind("error ", 0), 0u);
    EXPECT_EQ(Lines, (std::vector<std::string>{"hello"}));
    EXPECT_EQ(ExitCode, 0u);
}

TEST_F(ConsoleRunner, ApplicationIsTheProgramAndCommandItsParameters) {
    Runner->Application = "/bin/sh";
    Runner->Command = "-c 'echo \"$0|$1\"' first second";
    Runner->Start();
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Lines, (std::vector<std::string>{"first|second"}));
    EXPECT_EQ(Events.front(), "start /bin/sh " + Runner->Command);
    EXPECT_EQ(ExitCode, 0u);
}

TEST_F(ConsoleRunner, AnIdleDelayOfZeroIsClampedInsteadOfSpinning) {
    EXPECT_EQ(EffectiveTimeOutDelay(0), MinTimeOutDelay);
    EXPECT_EQ(EffectiveTimeOutDelay(50), 50);
    EXPECT_EQ(EffectiveTimeOutDelay(60000), MaxTimeOutDelay);
    // With 0 taken literally, the idle rule would fire on every pass of the
    // loop; clamped, at most once per 10 ms of the run, however long it took.
    int timeouts = 0;
    Runner->TimeOutDelay = 0;
    Runner->OnTimeOut = [&](TGUI2Console&, bool&) { ++timeouts; };
    const auto started = std::chrono::steady_clock::now();
    RunShell("sleep 0.5");
    ASSERT_TRUE(WaitDone());
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(timeouts, 0);
    EXPECT_LE(timeouts, elapsed / MinTimeOutDelay + 1);
}

TEST_F(ConsoleRunner, ALineWithoutEndBeyondTheCapStopsTheRun) {
    // Endless output without a line break: held whole it would exhaust the memory.
    RunShell("echo before; cat /dev/zero");
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Lines, (std::vector<std::string>{"before"}));
    ASSERT_GE(Events.size(), 3u);
    EXPECT_NE(Events[Events.size() - 2].find("error The program wrote a line longer than 1048576 bytes"),
              std::string::npos)
        << Events[Events.size() - 2];
    EXPECT_EQ(Events.back(), "done 1");
}

TEST(CaptureLineCollector, FollowsTheCaptureLineRules) {
    struct Case {
        std::string Output;
        bool LfEndsLine;
        std::vector<std::string> Lines;
    };
    const std::string longLine(300, 'x');
    const Case cases[] = {
        {"1\r2\r3\r\n", false, {"3", ""}},  // counters rewrite the line; the last flush adds an empty one
        {"1\r2\r3\n", false, {"2", "3"}},
        {"abc\r\n", true, {"abc", "", ""}},  // CR and LF each end a line, then the final flush
        {"a\nb\n", true, {"a", "b", ""}},
        {longLine + "\n", true, {std::string(256, 'x'), std::string(44, 'x'), ""}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        TCaptureLineCollector collector(&lines, nullptr, c.LfEndsLine);
        // Feed in two pieces to show that chunk borders do not matter.
        collector.Add(c.Output.data(), c.Output.size() / 2);
        collector.Add(c.Output.data() + c.Output.size() / 2, c.Output.size() - c.Output.size() / 2);
        collector.Flush();
        EXPECT_EQ(lines, c.Lines) << c.Output;
    }
}

TEST(CaptureConsoleOutput, RunsAProgramFoundOnThePath) {
    std::vector<std::string> lines;
    const auto code = CaptureConsoleOutput("sh", "-c 'echo \"GNU VCDImager 2.0.1\"; echo second; exit 4'", &lines);
    EXPECT_EQ(code, 4u);
    EXPECT_EQ(lines, (std::vector<std::string>{"GNU VCDImager 2.0.1", "second", ""}));
}

TEST(CaptureConsoleOutput, RaisesWhenTheProgramIsMissingOrHangs) {
    std::vector<std::string> lines;
    EXPECT_THROW(
        {
            try {
                CaptureConsoleOutput("lumora-no-such-tool", "", &lines);
            } catch (const EConsoleIOError& error) {
                EXPECT_STREQ(error.what(), "Could not find file lumora-no-such-tool");
                throw;
            }
        },
        EConsoleIOError);
    EXPECT_THROW(CaptureConsoleOutput("sleep", "20", &lines, nullptr, true, true, 300), EConsoleIOError);
}

TEST(CaptureConsoleOutput, AFloodingProgramIsStoppedAtTheCap) {
    std::vector<std::string> lines;
    try {
        CaptureConsoleOutput("yes", "", &lines, nullptr, true, true, 60000);
        FAIL() << "a flood was accepted";
    } catch (const EConsoleIOError& error) {
        EXPECT_NE(std::string(error.what()).find("wrote more than 4194304 bytes"), std::string::npos) << error.what();
    }
    EXPECT_LE(lines.size(), MaxCapturedBytes / 2);
}

}  // namespace
