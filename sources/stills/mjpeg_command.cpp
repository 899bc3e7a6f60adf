#include "stills/mjpeg_command.h"

#include <filesystem>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "services/services.h"
#include "settings/language.h"
#include "vcdimager/compliance_file_names.h"

namespace fs = std::filesystem;

std::string MjpegProgram(const std::string& name) {
    std::string folder = DetectedTools().MjpegToolsFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + name;
}

std::string ShellWord(const std::string& text) {
    // Single quotes keep everything; a single quote itself goes in double quotes.
    return "'" + ReplaceAll(text, "'", "'\"'\"'") + "'";
}

std::string PatternSafe(const std::string& path) { return ReplaceAll(path, "%", "%%"); }

TCommandMjpeg::TCommandMjpeg(TCommandSetup setup) : TCommandGui2Console(std::move(setup)) { Cancellable = false; }

void TCommandMjpeg::GetExecutable(std::string& path) { path = "/bin/sh"; }

void TCommandMjpeg::GetWorkingFolder(std::string& folder) {
    folder = DetectedTools().MjpegToolsFolder;
    if (folder.empty()) folder = "/";
}

std::string TCommandMjpeg::ShellCommand(const std::string& script, const std::vector<std::string>& arguments) {
    std::string command = "-c " + ShellWord(script) + " sh";
    for (const std::string& argument : arguments) command += " " + ShellWord(argument);
    return command;
}

void TCommandMjpeg::FilterLine(std::string& line) {
    std::string text = Trim(line);
    for (;;) {
        std::string collapsed = ReplaceAll(ReplaceAll(text, "  ", " "), "( ", "(");
        if (collapsed == text) break;
        text = std::move(collapsed);
    }
    text = Trim(text);
    if (text.empty()) {
        line.clear();
    } else if (StartsText(text, "INFO:")) {
        line = MakeLogLine("INFO:", LogLevel::Information, text);
    } else if (StartsWith(text, "++ WARN:")) {
        line = MakeLogLine("++ WARN:", LogLevel::Warning, text);
    } else if (StartsText(text, "**ERROR:")) {
        SawErrorLine = true;
        const std::string error = ErrorLineText(Trim(RemoveFirstText(text, "**ERROR:")));
        line = MakeLogLine("", LogLevel::Error, error);
        if (!error.empty()) Status.ErrorLines.push_back(error);
    } else {
        line = text;
    }
}

void TCommandMjpeg::CommandEnded(std::uint32_t exitCode) {
    // jpeg2yuv reports an unreadable JPEG and still exits 0 with a garbage frame.
    if (SawErrorLine && exitCode == 0) exitCode = 1;
    if (exitCode == 0 && !Cancelled && !CommitResults()) exitCode = 1;
    TCommandGui2Console::CommandEnded(exitCode);
}

bool TCommandMjpeg::ConsentToReplace(const std::vector<std::string>& paths) {
    TStringList named;
    for (const std::string& path : paths)
        if (!path.empty()) named.push_back(path);
    const TStringList existing = ExistingFiles(named);
    if (ConfirmReplacing(existing)) return true;
    const std::string refusal = Translate("Not replaced") + ": " + JoinLines(existing, ", ");
    Status.ErrorLines.push_back(refusal);
    EmitLine(MakeLogStatusLine(LogLevel::Error, refusal));
    return false;
}

void TCommandMjpeg::DeleteAnnounced(const std::string& path, const char* format) {
    std::error_code error;
    if (path.empty() || !fs::exists(fs::symlink_status(path, error))) return;
    EmitLine(MakeLogStatusLine(LogLevel::Information, Format(Translate(format), path)));
    fs::remove(path, error);
}

bool TCommandMjpeg::CommitOutputs(TOutputFiles& outputs) {
    std::string error;
    if (outputs.Commit(&error)) return true;
    const std::string message = Translate("Unable to save the results") + ": " + error;
    Status.ErrorLines.push_back(message);
    EmitLine(MakeLogStatusLine(LogLevel::Error, message));
    return false;
}
