#include "vcdimager/compliance_file_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "lib/output_files.h"
#include "services/services.h"
#include "settings/language.h"
#include "vcdimager/command_vcd.h"

namespace {

namespace fs = std::filesystem;

void ShowError(const std::string& message) { Dialogs().MessageDlg("\r" + message + "   ", TMsgDlgType::Error, mbOK); }

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

// The folder part as written: empty for a bare name.
std::string ParentFolder(const std::string& name) { return fs::path(name).parent_path().string(); }

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// A path that would break a tool's command line.
bool RefuseToolPath(const std::string& name) {
    const std::string refusal = RefusedToolPathMessage(name);
    if (refusal.empty()) return false;
    ShowError(refusal);
    return true;
}

std::string OutputFilter(const std::string& kindName, const std::string& extension) {
    return Format(Translate("%s file"), kindName) + " (*." + UpperCase(extension) + ")|*." + LowerCase(extension);
}

}  // namespace

std::string ToolFileName(const std::string& name) {
    if (!StartsWith(name, "\\\\")) return name;
    return ReplaceAll(name, "\\", "/");
}

bool CheckShellCharacters(const std::string& name) {
    for (const char* character : {"'", "`", "$"}) {
        if (name.find(character) == std::string::npos) continue;
        ShowError(Format(Translate("The %s character is not allowed in:"), std::string(character)) + "\r\r" + name);
        return false;
    }
    return true;
}

bool CheckInputFileName(const std::string& name, const std::string& kindName, bool mustExist) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        ShowError(Format(Translate("Invalid %s filename"), kindName));
        return false;
    }
    if (trimmed.find('/') == std::string::npos) {
        ShowError(Translate("The filename must contain the full path"));
        return false;
    }
    if (RefuseToolPath(trimmed)) return false;
    if (mustExist && !Exists(trimmed)) {
        ShowError(Format(Translate("The file \"%s\" does not exist"), trimmed));
        return false;
    }
    return true;
}

std::string ExtensionsKindName(const TStringList& extensions) {
    TStringList upper;
    for (const std::string& extension : extensions) upper.push_back(UpperCase(extension));
    return JoinLines(upper, "/");
}

bool CheckInputFileNameExt(const std::string& name, const TStringList& extensions, bool mustExist) {
    const std::string kindName = ExtensionsKindName(extensions);
    if (!CheckInputFileName(name, kindName, mustExist)) return false;
    const std::string extension = fs::path(Trim(name)).extension().string();
    for (std::size_t i = 0; i < extensions.size() && i < 5; ++i)
        if (SameText(extension, "." + extensions[i])) return true;
    ShowError(Format(Translate("Invalid %s filename"), kindName));
    return false;
}

bool BrowseInputFile(const std::string& kindName, const std::string& filter, std::string& edit,
                     std::string& lastFolder) {
    TFileDialogOptions options;
    const std::string current = ParentFolder(Trim(edit));
    options.InitialFolder = IsFolder(current) ? current : lastFolder;
    options.Title = Format(Translate("Open a %s file"), kindName);
    options.Filter = filter;
    const std::vector<std::string> chosen = Dialogs().OpenFiles(options);
    if (chosen.empty() || !CheckInputFileName(chosen.front(), kindName, true)) return false;
    edit = chosen.front();
    lastFolder = ParentFolder(edit);
    return true;
}

std::optional<std::string> CheckOutputFileName(const std::string& name, const std::string& extension) {
    const std::string cleaned = StripSurroundingQuotes(name);
    const std::string upper = UpperCase(extension);
    const std::string invalid = Format(Translate("Invalid %s filename"), upper);
    if (cleaned.empty()) {
        ShowError(Format(Translate("Please enter a %s filename"), upper));
        return std::nullopt;
    }
    if (!StartsWith(cleaned, "/")) {
        ShowError(invalid + ":\r" + cleaned);
        return std::nullopt;
    }
    const fs::path path(cleaned);
    if (!path.has_parent_path()) {
        ShowError(Translate("The filename must contain the full path"));
        return std::nullopt;
    }
    const std::string base = path.filename().string();
    if (base.empty() || StartsWith(base, ".")) {
        ShowError(invalid + ":\r" + cleaned);
        return std::nullopt;
    }
    if (!SameText(path.extension().string(), "." + extension)) {
        ShowError(invalid);
        return std::nullopt;
    }
    if (RefuseToolPath(cleaned)) return std::nullopt;
    return cleaned;
}

TOutputProblem OutputFileProblem(const std::string& name) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(name, error);
    // An existing file stays as it is until the new one replaces it; it must
    // be a file the user lets us replace.
    if (fs::exists(status) && (fs::is_directory(fs::status(name, error)) || ::access(name.c_str(), W_OK) != 0))
        return TOutputProblem::CannotOverwrite;
    // The new file is written beside it under a temporary name: prove that works.
    if (!IsFolder(ParentFolder(name))) return TOutputProblem::CannotCreate;
    const std::string probe = TemporaryNameBeside(name);
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return TOutputProblem::CannotCreate;
    ::close(fd);
    ::unlink(probe.c_str());
    return TOutputProblem::None;
}

bool PrepareOutputFile(const std::string& name, bool silent) {
    const TOutputProblem problem = OutputFileProblem(name);
    if (problem == TOutputProblem::None || silent) return problem == TOutputProblem::None;
    if (problem == TOutputProblem::CannotOverwrite)
        ShowError(Translate("Unable to overwrite") + ":\r" + name + "\r" +
                  Translate("Please be sure that this file is not ReadOnly") + "...");
    else
        ShowError(Translate("Unable to create") + ":\r" + name + "\r" + Translate("Please check the filename") + "...");
    return false;
}

TStringList ExistingFiles(const TStringList& paths) {
    TStringList existing;
    for (const std::string& path : paths)
        if (Exists(path) && std::find(existing.begin(), existing.end(), path) == existing.end())
            existing.push_back(path);
    return existing;
}

bool ConfirmReplacing(const TStringList& existing) {
    if (existing.empty()) return true;
    std::string list;
    for (const std::string& path : existing) list += "  " + path + "\r";
    return Dialogs().ConfirmNoDefault("\r" + Translate("These files already exist and will be replaced") + ":\r\r" +
                                          list + "\r" + Translate("Do you want to continue ?") + "   ",
                                      TMsgDlgType::Confirmation, mbYesNo) == TModalResult::Yes;
}

std::string StripSurroundingQuotes(const std::string& name) {
    const std::string trimmed = Trim(name);
    if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"')
        return Trim(trimmed.substr(1, trimmed.size() - 2));
    return trimmed;
}

bool BrowseOutputFile(std::string& edit, const std::string& kindName, const std::string& extension,
                      const std::string& defaultName, std::string& lastFolder) {
    const std::string current = StripSurroundingQuotes(edit);
    const std::string currentFolder = ParentFolder(current);
    TFileDialogOptions options;
    options.Title = Format(Translate("Save %s file to"), kindName);
    options.Filter = OutputFilter(kindName, extension);
    options.DefaultExtension = LowerCase(extension);
    options.InitialFolder = IsFolder(currentFolder) ? currentFolder : lastFolder;
    options.FileName = current.empty() ? defaultName : fs::path(current).filename().string();
    std::optional<std::string> chosen = Dialogs().SaveFile(options);
    if (!chosen && !(StartsWith(current, "/") && IsFolder(currentFolder))) {
        // Not even a usable name yet: offer the default once more.
        options.InitialFolder = lastFolder;
        options.FileName = WithSlash(lastFolder) + defaultName + "." + LowerCase(extension);
        chosen = Dialogs().SaveFile(options);
    }
    if (!chosen) return false;
    const std::optional<std::string> checked = CheckOutputFileName(*chosen, extension);
    if (!checked) return false;
    edit = *checked;
    lastFolder = ParentFolder(*checked);
    return true;
}

bool ConfirmOutputFile(std::string& edit, const std::string& extension, TOutputConfirmation& confirmation) {
    std::optional<std::string> name = CheckOutputFileName(edit, extension);
    if (!name) return false;
    if (Exists(*name) && confirmation.ConfirmedName != *name) {
        TFileDialogOptions options;
        options.Title = Format(Translate("%s file already exists... Confirm overwrite"), UpperCase(extension)) + " ";
        options.Filter = OutputFilter(UpperCase(extension), extension);
        options.InitialFolder = ParentFolder(*name);
        options.FileName = fs::path(*name).filename().string();
        options.DefaultExtension = LowerCase(extension);
        const std::optional<std::string> again = Dialogs().SaveFile(options);
        if (!again) return false;
        name = CheckOutputFileName(*again, extension);
        if (!name) return false;
    }
    const std::string base = fs::path(*name).filename().string();
    if (base.empty() || StartsWith(base, ".")) {
        ShowError(Format(Translate("Invalid %s filename"), UpperCase(extension)) + ":\r" + *name);
        return false;
    }
    if (!PrepareOutputFile(*name)) return false;
    confirmation.ConfirmedName = *name;
    edit = *name;
    return true;
}
