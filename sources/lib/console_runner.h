// TGUI2Console runs one console program as a hidden child on a worker thread,
// splits its output into lines and hands every line, the end of the program
// and any error to the main thread, in output order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

enum class TPipeSize { ps1k, ps2k, ps4k, ps8k, ps16k, ps32k, ps64k, ps96K, ps128k, ps256k };
enum class TBufferSize { bs256, bs512, bs1k, bs2k, bs4k, bs8k };
enum class TAppType { at16bit, at32bit, atDontCare };
enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

std::size_t PipeSizeBytes(TPipeSize size);
std::size_t BufferSizeBytes(TBufferSize size);

// The idle time a run uses: 0 would make the idle rule fire in a busy loop.
inline constexpr std::uint16_t MinTimeOutDelay = 10;
inline constexpr std::uint16_t MaxTimeOutDelay = 10000;
std::uint16_t EffectiveTimeOutDelay(std::uint16_t requested);

// A tool line without an end longer than this stops the run with an error,
// instead of holding ever more of it in memory.
inline constexpr std::size_t MaxToolLineBytes = 1024 * 1024;

// Errors of a run; they never leave the worker, they become OnError.
class EConsoleIOError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EProcessCreate : public EConsoleIOError {
public:
    using EConsoleIOError::EConsoleIOError;
};
class EPipeCreate : public EConsoleIOError {
public:
    using EConsoleIOError::EConsoleIOError;
};
class EWaitError : public EConsoleIOError {
public:
    using EConsoleIOError::EConsoleIOError;
};

class TConsoleThread;

class TGUI2Console {
public:
    TGUI2Console();
    ~TGUI2Console();
    TGUI2Console(const TGUI2Console&) = delete;
    TGUI2Console& operator=(const TGUI2Console&) = delete;

    // Idle time in milliseconds after which the idle rule fires; runs clamp it
    // to 10..10000.
    std::uint16_t TimeOutDelay = 50;
    TPipeSize PipeSize = TPipeSize::ps128k;
    TBufferSize BufferSize = TBufferSize::bs1k;
    bool AutoTerminate = false;
    std::string LogFile;
    std::string Environment;
    std::string Application;
    TAppType AppType = TAppType::at32bit;
    std::string Command;
    std::string HomeDirectory;
    TThreadPriority Priority = TThreadPriority::tpNormal;

    void SetPrompt(const std::string& prompt) { Prompt = prompt; }
    const std::string& GetPrompt() const { return Prompt; }

    std::function<void(TGUI2Console& sender, const std::string& command)> OnStart;
    std::function<void(TGUI2Console& sender, std::uint32_t exitCode)> OnDone;
    std::function<void(TGUI2Console& sender, const std::string& line)> OnLine;
    std::function<void(TGUI2Console& sender, const std::string& error)> OnError;
    std::function<void(TGUI2Console& sender, bool& kill)> OnTimeOut;
    std::function<void(TGUI2Console& sender, const std::string& status)> OnStatus;
    std::function<void(TGUI2Console& sender, const std::string& line)> OnPrompt;
    std::function<void(TGUI2Console& sender)> OnPreTerminate;

    // Starts the program of `Command`; a second start while running reports
    // "Process Already Running" through OnError.
    void Start();
    // No event is delivered after Stop; the worker kills the child's process group.
    void Stop();
    bool IsRunning() const { return Worker != nullptr; }
    void Write(const std::string& text);
    void WriteLine(const std::string& text) { Write(text + "\r\n"); }

private:
    friend class TConsoleThread;

    std::string Prompt;
    std::shared_ptr<TConsoleThread> Worker;
    // Workers that were stopped but may still be killing and reaping their child.
    std::vector<std::shared_ptr<TConsoleThread>> StoppedWorkers;

    void ForgetFinishedWorkers();
};

// Runs a program to its end on the calling thread and collects its output.
// `lines` receives the lines (may be null), `onLine` each finished line. With
// `lfEndsLine` false a bare CR rewrites the last line, as progress counters do.
// `timeoutMs` bounds the whole run (0: none): a program that does not end in
// time is killed and EConsoleIOError is raised; so is one that writes more
// than MaxCapturedBytes. Returns the exit code; raises EConsoleIOError when
// the program cannot be found or started.
inline constexpr std::size_t MaxCapturedBytes = 4 * 1024 * 1024;
std::uint32_t CaptureConsoleOutput(const std::string& fileName, const std::string& parameters,
                                   std::vector<std::string>* lines,
                                   const std::function<void(const std::string&)>& onLine = nullptr,
                                   bool lfEndsLine = true, bool useFoundPath = true, unsigned timeoutMs = 30000);

// The line rules of CaptureConsoleOutput, fed with chunks of output.
class TCaptureLineCollector {
public:
    TCaptureLineCollector(std::vector<std::string>* lines, std::function<void(const std::string&)> onLine,
                          bool lfEndsLine)
        : Lines(lines), OnLine(std::move(onLine)), LfEndsLine(lfEndsLine) {}
    void Add(const char* data, std::size_t size);
    void Flush();

private:
    static constexpr std::size_t LineLimit = 256;
    std::vector<std::string>* Lines;
    std::function<void(const std::string&)> OnLine;
    bool LfEndsLine;
    bool NewLine = true;
    std::string Buffer;
};

// Finds a program on PATH (or takes a path with a "/" as it is); empty when not found.
std::string FindProgram(const std::string& fileName);
