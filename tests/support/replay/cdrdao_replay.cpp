// A stand-in for cdrdao: placed as "CDRDAO/cdrdao" in a test program folder,
// it records how it was started and replays a transcript of what the real
// cdrdao printed for one scenario. No drive is needed.
//
// Beside the executable:
//   <exe>.calls       appended by every run but the version query (no arguments): "cwd=<folder>", one "arg=<a>"
//                     line per argument, then "end"
//   <exe>.transcript  the scenario; sections "[command]" pick the lines for
//                     the first argument ("[*]" serves any command)
//
// Transcript directives, one a line:
//   E <text>    a line on stderr
//   P <text>    a progress line on stderr, ended by a bare CR
//   O <text>    a line of stdout data, written at exit (as cdrdao does)
//   S <ms>      pause
//   R           wait for a line on stdin (cdrdao's reload prompt); ends with
//               exit code 1 after 10 seconds without an answer
//   D <bytes>   append that many bytes to the --datafile file
//   T <text>    append a line to the TOC file (the last argument)
//   $DATAFILE in any text stands for the --datafile argument
//   C           check the image (last argument) as cdrdao does before the
//               device: the file, and every data file a CUE sheet names,
//               relative to the working folder
//   X <code>    exit with that code (the default is 0 at the end)
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Arguments;
std::string StdoutData;

std::string OptionValue(const std::string& name) {
    for (std::size_t i = 1; i + 1 < Arguments.size(); ++i)
        if (Arguments[i] == name) return Arguments[i + 1];
    return "";
}

std::string LastArgument() { return Arguments.size() > 1 ? Arguments.back() : ""; }

[[noreturn]] void Exit(int code) {
    std::fflush(stderr);
    std::fwrite(StdoutData.data(), 1, StdoutData.size(), stdout);
    std::fflush(stdout);
    std::_Exit(code);
}

void Say(const std::string& text, const char* end) {
    std::fprintf(stderr, "%s%s", text.c_str(), end);
    std::fflush(stderr);
}

void Record(const std::string& self) {
    std::ofstream calls(self + ".calls", std::ios::app);
    calls << "cwd=" << std::filesystem::current_path().string() << "\n";
    for (std::size_t i = 1; i < Arguments.size(); ++i) calls << "arg=" << Arguments[i] << "\n";
    calls << "end\n";
}

// cdrdao reads the TOC or CUE file before it opens the device.
void CheckImage() {
    const std::string image = LastArgument();
    std::ifstream in(image);
    if (!in) {
        Say("ERROR: Cannot open toc file '" + image + "' for reading: No such file or directory", "\n");
        Exit(1);
    }
    if (image.size() < 4 || image.substr(image.size() - 4) != ".cue") return;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t file = line.find("FILE \"");
        if (file == std::string::npos) continue;
        const std::size_t start = file + 6;
        const std::size_t end = line.find('"', start);
        const std::string data = line.substr(start, end - start);
        if (!std::filesystem::exists(data)) {
            Say("ERROR: Cannot open data file \"" + data + "\": No such file or directory", "\n");
            Exit(1);
        }
    }
}

void WaitForAnswer() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 10000) <= 0) Exit(1);
    char c = 0;
    while (read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
    }
}

void AppendBytes(const std::string& path, long count) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    const std::string block(2352, '\0');
    for (long left = count; left > 0; left -= static_cast<long>(block.size()))
        out.write(block.data(), static_cast<std::streamsize>(std::min<long>(left, static_cast<long>(block.size()))));
}

void Run(const std::string& directive) {
    if (directive.empty()) return;
    const char op = directive[0];
    std::string rest = directive.size() > 2 ? directive.substr(2) : "";
    // cdrdao names the data file as it was given.
    for (std::size_t at = rest.find("$DATAFILE"); at != std::string::npos; at = rest.find("$DATAFILE"))
        rest.replace(at, 9, OptionValue("--datafile"));
    switch (op) {
        case 'E':
            Say(rest, "\n");
            break;
        case 'P':
            Say(rest, "\r");
            break;
        case 'O':
            StdoutData += rest + "\n";
            break;
        case 'S':
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(rest.c_str())));
            break;
        case 'R':
            WaitForAnswer();
            break;
        case 'D':
            AppendBytes(OptionValue("--datafile"), std::atol(rest.c_str()));
            break;
        case 'T':
            std::ofstream(LastArgument(), std::ios::app) << rest << "\n";
            break;
        case 'C':
            CheckImage();
            break;
        case 'X':
            Exit(std::atoi(rest.c_str()));
        default:
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Arguments.assign(argv, argv + argc);
    const std::string self = argv[0];
    // The version query of the tools detection, answered as cdrdao 1.2.4 does.
    if (argc == 1) {
        Say("Cdrdao version 1.2.4 - (C) Andreas Mueller <andreas@daneb.de>", "\n\n");
        Say("Usage: cdrdao <command> [options] [toc-file]", "\n");
        Exit(1);
    }
    Record(self);
    std::ifstream transcript(self + ".transcript");
    const std::string command = argc > 1 ? argv[1] : "";
    bool active = true;  // lines before any section serve every command
    std::string line;
    while (std::getline(transcript, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            const std::string section = line.substr(1, line.size() - 2);
            active = section == "*" || section == command;
            continue;
        }
        if (active) Run(line);
    }
    Exit(0);
}
