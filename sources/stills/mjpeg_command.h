// TCommandMjpeg is the base of the commands that run mjpegtools programs
// through "/bin/sh -c": the script names the files only as "$1", "$2"...,
// which follow it as separate words, so no file name is ever read as shell
// text. It turns the tools' lines into log lines, fails a run that printed
// an "**ERROR:" line whatever its exit code, and keeps its results under
// temporary names until the run succeeded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exec/command_gui2console.h"
#include "lib/output_files.h"

// The program's path in the detected mjpegtools folder (or the bare name).
std::string MjpegProgram(const std::string& name);
// One argv word for the command-line splitter, whatever bytes `text` holds.
std::string ShellWord(const std::string& text);
// jpeg2yuv and mplex read their file names as printf patterns.
std::string PatternSafe(const std::string& path);

class TCommandMjpeg : public TCommandGui2Console {
public:
    explicit TCommandMjpeg(TCommandSetup setup);

    bool MjpegToolsAvailable = false;

    void GetExecutable(std::string& path) override;
    void GetWorkingFolder(std::string& folder) override;
    void FilterLine(std::string& line) override;
    void CommandEnded(std::uint32_t exitCode) override;

protected:
    bool SawErrorLine = false;

    // Moves the run's results into place after a clean run; false fails the run.
    virtual bool CommitResults() { return true; }
    // The text of an "**ERROR:" line as it is logged and kept.
    virtual std::string ErrorLineText(const std::string& text) const { return text; }
    // `script` run by sh with `arguments` as "$1"...
    static std::string ShellCommand(const std::string& script, const std::vector<std::string>& arguments);

    // Asks before any of `paths` that exists is replaced; false when refused.
    bool ConsentToReplace(const std::vector<std::string>& paths);
    // Removes the file when it exists, announced with `format` ("Deleting \"%s\" file").
    void DeleteAnnounced(const std::string& path, const char* format);
    // Moves the run's results into place; false (and an error line) when one cannot be.
    bool CommitOutputs(TOutputFiles& outputs);
};
