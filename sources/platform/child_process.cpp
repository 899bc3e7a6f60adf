#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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

int SpawnChild(const TSpawnOptions& options, pid_t& pid) {
    if (options.Argv.empty() || options.Argv.front().empty()) return ENOENT;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);

    auto wire = [&](int fd, int target, int openFlags) {
        if (fd >= 0)
            posix_spawn_file_actions_adddup2(&actions, fd, target);
        else
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", openFlags, 0);
    };
    wire(options.StdinFd, STDIN_FILENO, O_RDONLY);
    wire(options.StdoutFd, STDOUT_FILENO, O_WRONLY);
    wire(options.StderrFd, STDERR_FILENO, O_WRONLY);
    if (!options.WorkingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.WorkingFolder.c_str());

    // A group of its own, so that stopping the tool also ends what it started;
    // default signal handling, whatever this program ignores.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, static_cast<short>(POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK));

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
    char** childEnvironment = envp.empty() ? environ : envp.data();

    const bool searchPath = options.Argv.front().find('/') == std::string::npos;
    const int error = searchPath ? posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), childEnvironment)
                                 : posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), childEnvironment);

    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
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
