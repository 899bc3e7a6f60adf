#include "lib/console_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "lib/text.h"
#include "platform/child_process.h"
#include "services/services.h"

namespace {

// Serialises starting a worker and writing to a child.
std::mutex& StartWriteLock() {
    static std::mutex lock;
    return lock;
}

// The lines of several reads travel to the main thread together, up to this much.
constexpr std::size_t HandOffLimit = 64 * 1024;

using TClock = std::chrono::steady_clock;

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

bool EndsWithPrompt(const std::string& text, const std::string& prompt) {
    return !prompt.empty() && text.size() >= prompt.size() && EndsWith(text, prompt);
}

}  // namespace

std::size_t PipeSizeBytes(TPipeSize size) {
    static constexpr std::size_t bytes[] = {1024, 2048, 4096, 8192, 16384, 32768, 65536, 98304, 131072, 262144};
    return bytes[static_cast<int>(size)];
}

std::uint16_t EffectiveTimeOutDelay(std::uint16_t requested) {
    return std::clamp(requested, MinTimeOutDelay, MaxTimeOutDelay);
}

std::size_t BufferSizeBytes(TBufferSize size) {
    static constexpr std::size_t bytes[] = {256, 512, 1024, 2048, 4096, 8192};
    return bytes[static_cast<int>(size)];
}

// One run of one program. It belongs to its thread (and, while the component
// knows it, to the component too) and frees itself when both let go.
class TConsoleThread {
public:
    TConsoleThread(TGUI2Console& owner, TMainThread& mainThread)
        : Owner(owner),
          Main(mainThread),
          TimeOutDelayMs(EffectiveTimeOutDelay(owner.TimeOutDelay)),
          PipeBytes(PipeSizeBytes(owner.PipeSize)),
          ReadBytes(BufferSizeBytes(owner.BufferSize)),
          AutoTerminate(owner.AutoTerminate),
          LogFileName(owner.LogFile),
          Environment(owner.Environment),
          Application(owner.Application),
          Command(owner.Command),
          Prompt(owner.GetPrompt()),
          HomeDirectory(owner.HomeDirectory),
          OnStart(owner.OnStart),
          OnDone(owner.OnDone),
          OnLine(owner.OnLine),
          OnError(owner.OnError),
          OnTimeOut(owner.OnTimeOut),
          OnStatus(owner.OnStatus),
          OnPrompt(owner.OnPrompt),
          OnPreTerminate(owner.OnPreTerminate) {
        WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }

    ~TConsoleThread() { CloseFd(WakeFd); }

    void Run();

    // Kills the child's process group now (from any thread); the worker reaps it.
    void KillChild() {
        std::lock_guard lock(PidLock);
        if (Pid > 0) kill(-Pid, SIGKILL);
    }

    // Kills (when still running) and reaps the child; its exit code.
    std::uint32_t ReapChild() {
        std::lock_guard lock(PidLock);
        if (Pid <= 0) return 1;
        const std::uint32_t code = KillAndReap(Pid);
        Pid = -1;
        return code;
    }

    void Terminate() {
        Terminating = true;
        const std::uint64_t one = 1;
        std::lock_guard lock(StartWriteLock());  // the worker closes WakeFd under it
        if (WakeFd >= 0) [[maybe_unused]]
            auto ignored = write(WakeFd, &one, sizeof one);
    }

    // Called under the start/write lock.
    void WriteInput(const std::string& text) {
        if (Detached || Terminating || InputFd < 0) return;
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t written = write(InputFd, text.data() + done, text.size() - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return;
            done += static_cast<std::size_t>(written);
        }
    }

    std::atomic<bool> Detached = false;   // no event is delivered any more
    std::atomic<bool> Forgotten = false;  // the component no longer knows this worker
    std::atomic<bool> Terminating = false;
    // Events of this worker being handled on the main thread right now: while
    // it is above 0 the worker waits for the main thread, not the other way.
    std::atomic<int> Delivering = 0;
    std::atomic<bool> Finished = false;

private:
    TGUI2Console& Owner;
    TMainThread& Main;

    const unsigned TimeOutDelayMs;
    const std::size_t PipeBytes;
    const std::size_t ReadBytes;
    const bool AutoTerminate;
    const std::string LogFileName;
    const std::string Environment;
    const std::string Application;
    const std::string Command;
    const std::string Prompt;
    const std::string HomeDirectory;
    const decltype(TGUI2Console::OnStart) OnStart;
    const decltype(TGUI2Console::OnDone) OnDone;
    const decltype(TGUI2Console::OnLine) OnLine;
    const decltype(TGUI2Console::OnError) OnError;
    const decltype(TGUI2Console::OnTimeOut) OnTimeOut;
    const decltype(TGUI2Console::OnStatus) OnStatus;
    const decltype(TGUI2Console::OnPrompt) OnPrompt;
    const decltype(TGUI2Console::OnPreTerminate) OnPreTerminate;

    std::uint32_t ExitCode = 1;
    std::string Pending;  // bytes of an unfinished line
    std::string CurrentLine;
    bool PromptSeen = false;
    FILE* Log = nullptr;
    int OutputFd = -1;
    int InputFd = -1;
    int WakeFd = -1;
    int ProcessFd = -1;
    pid_t Pid = -1;  // guarded by PidLock; -1 once reaped
    std::mutex PidLock;

    std::string FullCommandLine() const {
        if (!Application.empty() && !Command.empty()) return Application + " " + Command;
        return Command.empty() ? Application : Command;
    }

    template <typename F>
    void Deliver(F&& event) {
        if (Detached) return;
        Main.InvokeBlocking([&] {
            if (Detached) return;
            struct TDelivering {
                std::atomic<int>& Depth;
                explicit TDelivering(std::atomic<int>& depth) : Depth(depth) { ++Depth; }
                ~TDelivering() { --Depth; }
            } delivering(Delivering);
            event();
        });
    }

    void OpenLog();
    void CreatePipes(int output[2], int input[2]);
    void StartChild(int childOutput, int childInput);
    bool ReadAvailable(std::string& chunk);
    void HandleChunk(const std::string& chunk);
    void DeliverLines(const TStringList& lines);
    bool ReadLoop();
    void Drain();
    void ApplyIdleRule();
    void Finish();
};

void TConsoleThread::Run() {
    ExitCode = 1;
    OpenLog();
    if (OnStart) Deliver([&] { OnStart(Owner, FullCommandLine()); });
    try {
        int output[2] = {-1, -1};
        int input[2] = {-1, -1};
        CreatePipes(output, input);
        OutputFd = output[0];
        {
            std::lock_guard lock(StartWriteLock());
            InputFd = input[1];
        }
        try {
            StartChild(output[1], input[0]);
        } catch (...) {
            CloseFd(output[1]);
            CloseFd(input[0]);
            throw;
        }
        CloseFd(output[1]);
        CloseFd(input[0]);
        ProcessFd = OpenProcessFd(Pid);

        if (ReadLoop() && !Terminating) Drain();
        if (OnPreTerminate) Deliver([&] { OnPreTerminate(Owner); });
        if (OnStatus) Deliver([&] { OnStatus(Owner, "Normal Thread Termination"); });
        // A child that is still running (stopped, timed out) is killed here.
        ExitCode = ReapChild();
    } catch (const EConsoleIOError& error) {
        if (OnError) Deliver([&] { OnError(Owner, error.what()); });
    } catch (const std::exception& error) {
        // Nothing may escape a detached thread; the run ends as a failure.
        if (OnError) Deliver([&] { OnError(Owner, error.what()); });
    }
    Finish();
}

void TConsoleThread::OpenLog() {
    if (LogFileName.empty()) return;
    Log = std::fopen(LogFileName.c_str(), "wb");
    if (!Log && OnError) {
        const std::string message = std::strerror(errno);
        Deliver([&] { OnError(Owner, message); });
    }
}

void TConsoleThread::CreatePipes(int output[2], int input[2]) {
    if (pipe2(output, O_CLOEXEC) != 0 || pipe2(input, O_CLOEXEC) != 0) {
        const int error = errno;
        CloseFd(output[0]);
        CloseFd(output[1]);
        throw EPipeCreate(Format("Error Opening Pipe Error Code :%0d", error));
    }
    for (int fd : {output[0], input[1]}) fcntl(fd, F_SETPIPE_SZ, static_cast<int>(PipeBytes));
    fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
    IgnoreBrokenPipes();
}

void TConsoleThread::StartChild(int childOutput, int childInput) {
    TSpawnOptions options;
    // `Application` is the program and `Command` its parameters, as in the
    // command line announced by OnStart.
    options.Argv = SplitCommandLine(Command);
    if (!Application.empty()) options.Argv.insert(options.Argv.begin(), Application);
    options.WorkingFolder = HomeDirectory;
    options.ExtraEnvironment = Environment;
    options.StdinFd = childInput;
    options.StdoutFd = childOutput;
    options.StderrFd = childOutput;
    pid_t pid = -1;
    const int error = SpawnChild(options, pid);
    {
        std::lock_guard lock(PidLock);
        Pid = error == 0 ? pid : -1;
    }
    if (error != 0) {
        throw EProcessCreate(Format("%0s  Error Code :%0d", std::string("Error Creating Process"), error));
    }
}

// Reads what the pipe holds now, one read of the buffer size at a time.
// Returns false at the end of the output.
bool TConsoleThread::ReadAvailable(std::string& chunk) {
    std::vector<char> buffer(ReadBytes);
    while (chunk.size() < HandOffLimit && !Terminating) {
        const ssize_t got = read(OutputFd, buffer.data(), buffer.size());
        if (got > 0) {
            chunk.append(buffer.data(), static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return got < 0;  // EAGAIN: nothing more for now; 0: every writer is gone
    }
    return true;
}

void TConsoleThread::HandleChunk(const std::string& chunk) {
    // Only the new bytes can hold a line break: what was pending had none.
    const std::size_t lastBreak = chunk.find_last_of("\r\n");
    if (lastBreak == std::string::npos) {
        if (Pending.size() + chunk.size() > MaxToolLineBytes)
            throw EConsoleIOError(Format("The program wrote a line longer than %u bytes: run stopped",
                                         static_cast<unsigned>(MaxToolLineBytes)));
        Pending += chunk;
        CurrentLine = Pending;
        PromptSeen = EndsWithPrompt(Pending, Prompt);
        return;
    }
    std::string complete = std::move(Pending);
    complete.append(chunk, 0, lastBreak + 1);
    Pending.assign(chunk, lastBreak + 1);

    TStringList lines = SplitLines(complete);
    std::erase_if(lines, [](const std::string& line) { return line.empty(); });
    DeliverLines(lines);

    CurrentLine.clear();
    if (!Pending.empty()) {
        CurrentLine = Pending;
        PromptSeen = EndsWithPrompt(Pending, Prompt);
    }
}

void TConsoleThread::DeliverLines(const TStringList& lines) {
    if (lines.empty()) return;
    if (!OnLine) {
        CurrentLine = lines.back();
        PromptSeen = EndsWithPrompt(lines.back(), Prompt);
        return;
    }
    Deliver([&] {
        for (const std::string& line : lines) {
            if (Detached || Terminating) break;
            CurrentLine = line;
            if (Log) {
                std::fwrite(line.data(), 1, line.size(), Log);
                std::fwrite("\r\n", 1, 2, Log);
            }
            OnLine(Owner, line);
            PromptSeen = EndsWithPrompt(line, Prompt);
        }
    });
}

// Reads until the child has ended or the worker is asked to stop; returns
// whether the child has ended.
bool TConsoleThread::ReadLoop() {
    Pending.clear();
    auto lastActivity = TClock::now();
    bool outputOpen = true;
    while (!Terminating) {
        const auto idleDeadline = lastActivity + std::chrono::milliseconds(TimeOutDelayMs);
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(idleDeadline - TClock::now()).count();
        if (wait < 0) wait = 0;
        if (ProcessFd < 0 && wait > 5) wait = 5;  // no process descriptor: look every 5 ms

        pollfd fds[3] = {{outputOpen ? OutputFd : -1, POLLIN, 0}, {WakeFd, POLLIN, 0}, {ProcessFd, POLLIN, 0}};
        if (poll(fds, 3, static_cast<int>(wait)) < 0 && errno != EINTR)
            throw EWaitError(Format("Process Error Error Code :%0d", errno));

        bool gotData = false;
        if (outputOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            std::string chunk;
            outputOpen = ReadAvailable(chunk);
            if (!chunk.empty()) {
                gotData = true;
                lastActivity = TClock::now();
                HandleChunk(chunk);
            }
        }
        const bool ended = ProcessFd >= 0 ? (fds[2].revents & POLLIN) != 0 : ChildHasEnded(Pid);
        if (ended) return true;
        if (!gotData && TClock::now() >= idleDeadline) {
            lastActivity = TClock::now();
            ApplyIdleRule();
        }
    }
    return false;
}

void TConsoleThread::Drain() {
    for (;;) {
        pollfd fd{OutputFd, POLLIN, 0};
        if (poll(&fd, 1, 0) <= 0 || !(fd.revents & POLLIN)) return;
        std::string chunk;
        const bool open = ReadAvailable(chunk);
        if (!chunk.empty()) HandleChunk(chunk);
        if (!open || chunk.empty() || Terminating) return;
    }
}

void TConsoleThread::ApplyIdleRule() {
    if (PromptSeen) {
        PromptSeen = false;
        if (OnPrompt) Deliver([&] { OnPrompt(Owner, CurrentLine); });
    } else if (AutoTerminate) {
        Terminate();
    } else if (OnTimeOut) {
        bool kill = false;
        Deliver([&] { OnTimeOut(Owner, kill); });
        if (kill) Terminate();
    }
}

void TConsoleThread::Finish() {
    ReapChild();  // an error after the start must not leave the child behind
    {
        std::lock_guard lock(StartWriteLock());
        CloseFd(InputFd);
        CloseFd(WakeFd);
    }
    CloseFd(OutputFd);
    CloseFd(ProcessFd);
    if (Log) std::fclose(Log);
    Log = nullptr;

    // The component forgets this worker on the main thread, then hears of the end.
    if (!Forgotten) {
        Main.InvokeBlocking([this] {
            if (Forgotten) return;
            if (Owner.Worker.get() == this) Owner.Worker.reset();
            if (!Detached && OnDone) OnDone(Owner, ExitCode);
        });
    }
    Finished = true;
}

TGUI2Console::TGUI2Console() = default;

TGUI2Console::~TGUI2Console() {
    TMainThread& main = MainThread();
    if (Worker) {
        Worker->Detached = true;
        if (!Worker->Terminating) Worker->Terminate();
        for (int round = 0; Worker && Worker->Delivering == 0 && round < 10000; ++round)
            main.ProcessPending(std::chrono::milliseconds(1));
        if (Worker) {
            Worker->Forgotten = true;
            Worker->KillChild();
            StoppedWorkers.push_back(std::move(Worker));
        }
    }
    // Wait for stopped workers to reap their children, so that none is left
    // behind; not for one that waits for this very call to return.
    for (auto& stopped : StoppedWorkers)
        for (int round = 0; !stopped->Finished && stopped->Delivering == 0 && round < 10000; ++round)
            main.ProcessPending(std::chrono::milliseconds(1));
}

void TGUI2Console::ForgetFinishedWorkers() {
    std::erase_if(StoppedWorkers, [](const auto& worker) { return worker->Finished.load(); });
}

void TGUI2Console::Start() {
    {
        std::lock_guard lock(StartWriteLock());
        if (!Worker) {
            ForgetFinishedWorkers();
            Worker = std::make_shared<TConsoleThread>(*this, MainThread());
            std::thread([worker = Worker] { worker->Run(); }).detach();
            return;
        }
    }
    if (OnError) OnError(*this, "Process Already Running");
}

void TGUI2Console::Stop() {
    if (!Worker) return;
    Worker->Detached = true;
    Worker->Forgotten = true;
    // Killed now, not when the worker next runs: it may be waiting for this very
    // thread, and a cancelled command cleans up its files at once.
    Worker->KillChild();
    Worker->Terminate();
    StoppedWorkers.push_back(std::move(Worker));
    Worker.reset();
}

void TGUI2Console::Write(const std::string& text) {
    std::lock_guard lock(StartWriteLock());
    if (Worker) Worker->WriteInput(text);
}
