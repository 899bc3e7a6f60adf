// Starting console tools as child processes on POSIX: argv from a command
// line string, the environment with Windows-style entries, and the spawn itself.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "lib/text.h"

// Splits a command line into argv by shell word rules, without any expansion:
// blanks separate words, single quotes take everything literally, double quotes
// group and let a backslash escape only `"`, `\`, `$` and backquote.
TStringList SplitCommandLine(const std::string& commandLine);

// The environment of a child: the current one with the entries of `extra`
// (NAME=value, separated by line breaks or NUL) put over it. "%NAME%" in a
// value stands for the current value of NAME, and in PATH a ";" separates
// folders, so "PATH=folder;%PATH%" puts the folder first.
TStringList ChildEnvironment(const std::string& extra);

struct TSpawnOptions {
    TStringList Argv;              // argv[0] is the program; searched on PATH without a "/"
    std::string WorkingFolder;     // empty: the current one
    std::string ExtraEnvironment;  // see ChildEnvironment; empty: inherit as it is
    int StdinFd = -1;              // -1: /dev/null
    int StdoutFd = -1;             // -1: /dev/null
    int StderrFd = -1;             // -1: /dev/null
};

// Starts the child in a process group of its own. The child is killed when
// the thread that started it ends, and so when this program ends in any way
// (even by SIGKILL): start it from a thread that lives until it is reaped.
// Returns 0 and sets `pid`, or returns the error number of the failure
// (program missing, folder missing...).
int SpawnChild(const TSpawnOptions& options, pid_t& pid);

// Exit code as the program reports it: the exit status, the code of a killed
// process (0xFFFFFFF7) for SIGKILL, 128 + the signal number for other signals.
inline constexpr unsigned KilledExitCode = 0xFFFFFFF7u;
unsigned ExitCodeOf(int waitStatus);

// Opens a descriptor that becomes readable when the child ends (-1 when the
// kernel has none); the child is not reaped by it.
int OpenProcessFd(pid_t pid);
// Whether the child has ended, without reaping it.
bool ChildHasEnded(pid_t pid);
// Kills the child's process group, then reaps the child; returns its exit code.
unsigned KillAndReap(pid_t pid);

// Writing to a pipe whose reader is gone must give EPIPE, not end the program.
void IgnoreBrokenPipes();
