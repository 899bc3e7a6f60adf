// A program folder whose "CDRDAO/cdrdao" is the replay stand-in, the tools
// detection pointed at it, and a way to run a cdrdao command to its end.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cdrdao/command_cd.h"
#include "environment/detected_tools.h"
#include "services/services.h"
#include "support/temp_folder.h"

struct TReplayCall {
    std::string WorkingFolder;
    std::vector<std::string> Arguments;
};

class TCdrdaoReplay {
public:
    TTempFolder Root;

    TCdrdaoReplay() : Saved(DetectedTools()) {
        const std::filesystem::path folder = Root.Path() / "Lumora" / "CDRDAO";
        std::filesystem::create_directories(folder);
        Program = (folder / "cdrdao").string();
        std::filesystem::copy_file(LUMORA_CDRDAO_REPLAY, Program);
        DetectedTools().CdrdaoFolder = folder.string() + "/";
        DetectedTools().CdrdaoVersionCode = 3;
        DetectedTools().CdrdaoVersion = "Cdrdao version 1.2.4";
    }
    ~TCdrdaoReplay() { DetectedTools() = Saved; }
    TCdrdaoReplay(const TCdrdaoReplay&) = delete;
    TCdrdaoReplay& operator=(const TCdrdaoReplay&) = delete;

    // The transcripts the next runs replay, one after the other.
    void Play(const std::vector<std::string>& names) const {
        std::ofstream out(Program + ".transcript", std::ios::trunc);
        for (const std::string& name : names)
            out << ReadWholeFile(std::string(LUMORA_TRANSCRIPTS_DIR) + "/" + name + ".txt") << "\n";
    }
    void Play(const std::string& name) const { Play(std::vector<std::string>{name}); }

    std::vector<TReplayCall> Calls() const {
        std::vector<TReplayCall> calls;
        std::ifstream in(Program + ".calls");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("cwd=", 0) == 0)
                calls.push_back({line.substr(4), {}});
            else if (line.rfind("arg=", 0) == 0 && !calls.empty())
                calls.back().Arguments.push_back(line.substr(4));
        }
        return calls;
    }

    const std::string& ProgramPath() const { return Program; }

private:
    TDetectedTools Saved;
    std::string Program;
};

// Runs the command to its end on this thread.
inline TExecuteStatus RunToEnd(TCommandInterface& command) {
    bool done = false;
    TExecuteStatus ended;
    command.Execute(
        nullptr,
        [&](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) {
            ended = status;
            done = true;
        },
        nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline)
        MainThread().ProcessPending(std::chrono::milliseconds(20));
    EXPECT_TRUE(done) << "the command did not end";
    return ended;
}

inline TCdrDaoSettingsPtr WriterSettings(const std::string& node = "/dev/sr0") {
    auto settings = std::make_shared<TCdrDaoSettings>();
    settings->WriterDevice = " --device " + node;
    settings->WriterDriver = " --driver generic-mmc";
    settings->WriterBuffers = " --buffers 64";
    settings->WriterSpeed = " --speed 4";
    settings->ReaderDevice = " --device " + node;
    return settings;
}
