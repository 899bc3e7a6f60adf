#include "platform/folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string ProgramFolderOverride;
std::string ConfigFolderOverride;
std::string DataFolderOverride;

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
    return WithoutTrailingDelimiter(LUMORA_DATA_DIR);
}

void SetInstalledDataFolderOverride(const std::string& folder) {
    DataFolderOverride = WithoutTrailingDelimiter(folder);
}

std::string HomeFolder() { return WithoutTrailingDelimiter(Environment("HOME")); }

TStringList ShippedFolders() {
    TStringList folders{ProgramFolder()};
    const std::string data = InstalledDataFolder();
    std::error_code error;
    if (data != folders.front() && !fs::equivalent(data, folders.front(), error)) folders.push_back(data);
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
