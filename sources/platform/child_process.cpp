#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

extern char** environ;

TStringList SplitCommandLine(const std::string& commandLine) {
    TStringList words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = commandLine.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? commandLine.size() : end;
            word.append(commandLine, i + 1, stop - i - 1);
            i = stop;
        } else if (c == '"') {
            for (++i; i < commandLine.size() && commandLine[i] != '"'; ++i) {
                const char next = i + 1 < commandLine.size() ? commandLine[i + 1] : '\0';
                if (commandLine[i] == '\\' && (next == '"' || next == '\\' || next == '$' || next == '`')) ++i;
                word.push_back(commandLine[i]);
            }
        } else {
            word.push_back(c);
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

namespace {

std::map<std::string, std::string> CurrentEnvironment() {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text(*entry);
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    return variables;
}

std::string ExpandVariables(const std::string& value, const std::map<std::string, std::string>& variables) {
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::size_t end = value[i] == '%' ? value.find('%', i + 1) : std::string::npos;
        if (end == std::string::npos) {
            result.push_back(value[i]);
            continue;
        }
        const auto found = variables.find(value.substr(i + 1, end - i - 1));
        result.append(found != variables.end() ? found->second : "");
        i = end;
    }
    return result;
}

}  // namespace

TStringList ChildEnvironment(const std::string& extra) {
    auto variables = CurrentEnvironment();
    for (const std::string& rawEntry : SplitLines(ReplaceAll(extra, std::string(1, '\0'), "\n"))) {
        const std::string entry = Trim(rawEntry);
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        const std::string name = entry.substr(0, equals);
        std::string value = Trim(ExpandVariables(entry.substr(equals + 1), variables));
        if (name == "PATH") {
            value = ReplaceAll(value, ";", ":");
            while (!value.empty() && value.back() == ':') value.pop_back();
        }
        variables[name] = value;
    }
    TStringList result;
    for (const auto& [name, value] : variables) result.push_back(name + "=" + value);
    return result;
}

namespace {

// Where execve looks for the program: the name itself when it holds a "/",
// else each folder of PATH, as execvp would search.
TStringList ProgramCandidates(const std::string& program) {
    if (program.find('/') != std::string::npos) return {program};
    const char* path = std::getenv("PATH");
    TStringList candidates;
    for (const std::string& folder : SplitLines(ReplaceAll(path ? path : "/bin:/usr/bin", ":", "\n")))
        candidates.push_back((folder.empty() ? std::string(".") : folder) + "/" + program);
    return candidates;
}

// Tells the parent why the child could not become the program, and ends it.
[[noreturn]] void FailChild(int errorFd, int error) {
    [[maybe_unused]] auto ignored = write(errorFd, &error, sizeof error);
    _exit(127);
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const TSpawnOptions& options, const std::vector<const char*>& candidates, char* const* argv,
                            char* const* envp, pid_t parent, int errorFd) {
    // The tool ends with the program, even when the program is killed.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) FailChild(errorFd, errno);
    if (getppid() != parent) _exit(127);  // the program ended before the line above
    if (setpgid(0, 0) != 0) FailChild(errorFd, errno);

    // A source among 0..2 could be overwritten by an earlier dup2: move it up first.
    int sources[3] = {options.StdinFd, options.StdoutFd, options.StderrFd};
    for (int target = 0; target < 3; ++target) {
        if (sources[target] >= 0 && sources[target] < 3 && sources[target] != target) {
            const int moved = fcntl(sources[target], F_DUPFD_CLOEXEC, 3);
            if (moved < 0) FailChild(errorFd, errno);
            for (int& other : sources)
                if (other == sources[target] && &other != &sources[target]) other = moved;
            sources[target] = moved;
        }
    }
    for (int target = 0; target < 3; ++target) {
        int source = sources[target];
        if (source < 0) {
            source = open("/dev/null", target == 0 ? O_RDONLY : O_WRONLY);
            if (source < 0) FailChild(errorFd, errno);
        }
        if (source == target) {
            fcntl(target, F_SETFD, 0);
        } else {
            if (dup2(source, target) < 0) FailChild(errorFd, errno);
            if (sources[target] < 0) close(source);
        }
    }
    if (!options.WorkingFolder.empty() && chdir(options.WorkingFolder.c_str()) != 0) FailChild(errorFd, errno);

    // Default handling of the signals this program catches or ignores.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signal, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    int error = ENOENT;
    for (const char* candidate : candidates) {
        execve(candidate, argv, envp);
        // Keep a more telling reason than "not found" from a later folder.
        if (errno != ENOENT && errno != ENOTDIR) error = errno;
    }
    FailChild(errorFd, error);
}

}  // namespace

int SpawnChild(const TSpawnOptions& options, pid_t& pid) {
    if (options.Argv.empty() || options.Argv.front().empty()) return ENOENT;

    // Everything the child needs is prepared here: after fork it may not allocate.
    const TStringList candidateTexts = ProgramCandidates(options.Argv.front());
    std::vector<const char*> candidates;
    for (const auto& candidate : candidateTexts) candidates.push_back(candidate.c_str());
    std::vector<char*> argv;
    for (const auto& arg : options.Argv) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    TStringList environment;
    std::vector<char*> envp;
    if (!options.ExtraEnvironment.empty()) {
        environment = ChildEnvironment(options.ExtraEnvironment);
        for (auto& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
    }
    char* const* childEnvironment = envp.empty() ? environ : envp.data();

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) return errno;
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(errorPipe[0]);
        close(errorPipe[1]);
        return error;
    }
    if (child == 0) ExecChild(options, candidates, argv.data(), childEnvironment, parent, errorPipe[1]);

    close(errorPipe[1]);
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(errorPipe[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        // The exec failed: the child has already ended.
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return error != 0 ? error : ENOEXEC;
    }
    pid = child;
    return 0;
}

unsigned ExitCodeOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return static_cast<unsigned>(WEXITSTATUS(waitStatus));
    if (WIFSIGNALED(waitStatus))
        return WTERMSIG(waitStatus) == SIGKILL ? KilledExitCode : 128u + static_cast<unsigned>(WTERMSIG(waitStatus));
    return 1;
}

int OpenProcessFd(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd < 0 ? -1 : static_cast<int>(fd);
#else
    (void)pid;
    return -1;
#endif
}

bool ChildHasEnded(pid_t pid) {
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return errno == ECHILD;
    return info.si_pid == pid;
}

unsigned KillAndReap(pid_t pid) {
    // The child is not reaped yet, so its group id cannot have been reused.
    kill(-pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    return ExitCodeOf(status);
}

void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) signal(SIGPIPE, SIG_IGN);
    });
}
