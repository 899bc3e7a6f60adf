// The synchronous capture of a program's output (version banners and the like).
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "lib/console_runner.h"
#include "lib/text.h"
#include "platform/child_process.h"

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Waits up to `timeoutMs` for the child to end; reaps it and returns its exit
// code, or kills it when it is still running.
std::uint32_t WaitForChild(pid_t pid, unsigned timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ChildHasEnded(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return KillAndReap(pid);
}

}  // namespace

std::string FindProgram(const std::string& fileName) {
    if (fileName.empty()) return {};
    if (fileName.find('/') != std::string::npos) return IsExecutableFile(fileName) ? fileName : std::string();
    const char* path = std::getenv("PATH");
    for (const std::string& folder : SplitLines(ReplaceAll(path ? path : "", ":", "\n"))) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + fileName;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return {};
}

void TCaptureLineCollector::Add(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            NewLine = true;
            if (LfEndsLine) Flush();
        } else if (c == '\r') {
            Flush();
        } else {
            Buffer.push_back(c);
            if (Buffer.size() == LineLimit) {
                NewLine = true;
                Flush();
            }
        }
    }
}

void TCaptureLineCollector::Flush() {
    if (Lines) {
        if (NewLine || LfEndsLine || Lines->empty())
            Lines->push_back(Buffer);
        else
            Lines->back() = Buffer;
    }
    const std::string line = std::move(Buffer);
    NewLine = false;
    Buffer.clear();
    if (OnLine) OnLine(line);
}

std::uint32_t CaptureConsoleOutput(const std::string& fileName, const std::string& parameters,
                                   std::vector<std::string>* lines,
                                   const std::function<void(const std::string&)>& onLine, bool lfEndsLine,
                                   bool /*useFoundPath: no executable header to inspect here*/, unsigned timeoutMs) {
    const std::string program = FindProgram(fileName);
    if (program.empty()) throw EConsoleIOError(Format("Could not find file %s", fileName));

    TStringList argv = SplitCommandLine(parameters);
    argv.insert(argv.begin(), program);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) throw EConsoleIOError(std::strerror(errno));
    IgnoreBrokenPipes();
    TSpawnOptions options;
    options.Argv = argv;
    options.StdoutFd = output[1];
    options.StderrFd = output[1];
    pid_t pid = -1;
    const int error = SpawnChild(options, pid);
    close(output[1]);
    if (error != 0) {
        close(output[0]);
        throw EConsoleIOError(std::strerror(error));
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    TCaptureLineCollector collector(lines, onLine, lfEndsLine);
    char block[257];
    bool timedOut = false;
    bool flooded = false;
    std::size_t total = 0;
    for (;;) {
        int wait = -1;
        if (timeoutMs > 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                timedOut = true;
                break;
            }
            wait = static_cast<int>(left.count());
        }
        pollfd fd{output[0], POLLIN, 0};
        const int ready = poll(&fd, 1, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) continue;
        const ssize_t got = read(output[0], block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
        if (total > MaxCapturedBytes) {
            flooded = true;
            break;
        }
        collector.Add(block, static_cast<std::size_t>(got));
    }
    close(output[0]);
    if (timedOut) {
        KillAndReap(pid);
        throw EConsoleIOError(Format("%s did not end within %u seconds", fileName, timeoutMs / 1000));
    }
    if (flooded) {
        KillAndReap(pid);
        throw EConsoleIOError(
            Format("%s wrote more than %u bytes: run stopped", fileName, static_cast<unsigned>(MaxCapturedBytes)));
    }
    const std::uint32_t exitCode = WaitForChild(pid, 3000);
    collector.Flush();
    return exitCode;
}
