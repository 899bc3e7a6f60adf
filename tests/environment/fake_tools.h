// A temporary program folder with stand-in tools: small shell scripts in the
// "VCDImager", "CDRDAO" and "Mjpegtools" sub-folders that print a recorded
// banner and end with a given exit code. Each run leaves a "<tool>.ran" file.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "lib/text.h"
#include "support/temp_folder.h"
#include "tool_banners.h"

class TFakeTools {
public:
    TTempFolder Root;

    explicit TFakeTools(const std::string& programName = "Lumora")
        : Program((Root.Path() / programName).string() + "/") {
        std::filesystem::create_directories(Program);
    }

    const std::string& Folder() const { return Program; }

    // Writes the script `relative` (e.g. "VCDImager/vcdxbuild") and returns its path.
    std::string Tool(const std::string& relative, const TStringList& lines, int exitCode,
                     const std::string& extra = "") const {
        std::string script = "#!/bin/sh\n: > \"$0.ran\"\n" + extra;
        for (const std::string& line : lines) script += "printf '%s\\n' '" + ReplaceAll(line, "'", "'\\''") + "'\n";
        script += "exit " + std::to_string(exitCode) + "\n";
        const std::string path = Program + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFile(path, script);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    bool Ran(const std::string& relative) const { return std::filesystem::exists(Program + relative + ".ran"); }

    void VcdImager(const TStringList& banner = banners::VcdxBuild201, const std::string& folder = "VCDImager") const {
        Tool(folder + "/vcdxbuild", banner, 0);
        for (const char* name : {"vcdxminfo", "vcdxrip", "cdxa2mpeg"}) Tool(folder + "/" + name, {}, 0);
    }
    void Cdrdao(const TStringList& banner = banners::Cdrdao124, const std::string& folder = "CDRDAO") const {
        Tool(folder + "/cdrdao", banner, 1);
    }
    void MjpegTools(const TStringList& banner = banners::Mplex210, const std::string& folder = "Mjpegtools") const {
        Tool(folder + "/mplex", banner, 1);
        for (const char* name : {"jpeg2yuv", "mpeg2enc"}) Tool(folder + "/" + name, {}, 0);
    }
    void All() const {
        VcdImager();
        Cdrdao();
        MjpegTools();
    }

private:
    std::string Program;

    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
};
