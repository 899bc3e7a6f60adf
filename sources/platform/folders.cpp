#include "platform/folders.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string ProgramFolderOverride;
std::string ConfigFolderOverride;
std::string DataFolderOverride;
std::string UserDataFolderOverride;

std::string ExecutableFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error).string();
    return exe.parent_path().string();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string WithoutTrailingDelimiter(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

std::string ProgramFolder() {
    if (!ProgramFolderOverride.empty()) return ProgramFolderOverride;
    static const std::string folder = ExecutableFolder();
    return folder;
}

void SetProgramFolderOverride(const std::string& folder) { ProgramFolderOverride = WithoutTrailingDelimiter(folder); }

std::string ConfigFolder() {
    if (!ConfigFolderOverride.empty()) return ConfigFolderOverride;
    std::string base = Environment("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (base.empty() || base.front() != '/') {
        const std::string home = HomeFolder();
        base = home.empty() ? std::string("/tmp") : home + "/.config";
    }
    return WithoutTrailingDelimiter(base) + "/lumora";
}

void SetConfigFolderOverride(const std::string& folder) { ConfigFolderOverride = WithoutTrailingDelimiter(folder); }

std::string InstalledDataFolder() {
    if (!DataFolderOverride.empty()) return DataFolderOverride;
    // An installed tree may have been installed under another prefix or
    // moved: its data folder lies where it was installed beside the program.
    std::error_code error;
    const fs::path beside = fs::weakly_canonical(fs::path(ProgramFolder()) / LUMORA_RELATIVE_DATA_DIR, error);
    if (!error && fs::is_directory(beside, error)) return WithoutTrailingDelimiter(beside.string());
    return WithoutTrailingDelimiter(LUMORA_DATA_DIR);
}

void SetInstalledDataFolderOverride(const std::string& folder) {
    DataFolderOverride = WithoutTrailingDelimiter(folder);
}

std::string UserDataFolder() {
    if (!UserDataFolderOverride.empty()) return UserDataFolderOverride;
    std::string base = Environment("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (base.empty() || base.front() != '/') {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        base = home + "/.local/share";
    }
    return WithoutTrailingDelimiter(base) + "/lumora";
}

void SetUserDataFolderOverride(const std::string& folder) { UserDataFolderOverride = WithoutTrailingDelimiter(folder); }

std::string HomeFolder() { return WithoutTrailingDelimiter(Environment("HOME")); }

TStringList ShippedFolders() {
    TStringList folders;
    for (const std::string& folder : {ProgramFolder(), UserDataFolder(), InstalledDataFolder()}) {
        if (folder.empty()) continue;
        const bool seen = std::any_of(folders.begin(), folders.end(), [&](const std::string& other) {
            std::error_code error;
            return other == folder || fs::equivalent(other, folder, error);
        });
        if (!seen) folders.push_back(folder);
    }
    return folders;
}

std::string FindShippedFile(const std::string& relative) {
    for (const std::string& folder : ShippedFolders()) {
        const std::string candidate = folder + "/" + relative;
        std::error_code error;
        if (fs::exists(candidate, error)) return candidate;
    }
    return {};
}

std::string IniFileFolder(const std::string& fileName) {
    const std::string program = ProgramFolder();
    if (FileExists(program + "/" + fileName) || access(program.c_str(), W_OK) == 0) return program;
    const std::string config = ConfigFolder();
    std::error_code error;
    fs::create_directories(config, error);
    return config;
}

std::string IniFilePath(const std::string& fileName) { return IniFileFolder(fileName) + "/" + fileName; }

std::string RegistryFilePath() { return ConfigFolder() + "/registry.ini"; }

bool FolderExists(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_directory(folder, error);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

std::string IncludeTrailingDelimiter(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}
