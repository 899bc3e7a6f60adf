#include "settings/last_folders.h"

#include <filesystem>

#include "lib/system_folders.h"
#include "lib/text.h"
#include "platform/folders.h"

namespace {

// The folder a stored value names: the value itself when it is a folder
// (stored with or without its trailing delimiter), else the folder part.
std::string FolderPart(const std::string& stored) {
    const std::string value = Trim(stored);
    if (value.empty() || FolderExists(value)) return value;
    return std::filesystem::path(value).parent_path().string();
}

}  // namespace

TLastFolders LoadLastFolders(const TSettings& settings) {
    return {DefaultFolder(FolderPart(settings.GetString("LastInputFolder"))),
            DefaultFolder(FolderPart(settings.GetString("LastOutputFolder")))};
}

void StoreLastFolders(TSettings& settings, const TLastFolders& folders) {
    settings.SetValue("LastInputFolder", FolderPart(folders.Input));
    settings.SetValue("LastOutputFolder", FolderPart(folders.Output));
}

void RememberFolderOf(std::string& lastFolder, const std::string& path) {
    const std::string folder = FolderPart(path);
    if (!folder.empty()) lastFolder = IncludeTrailingDelimiter(folder);
}

std::string InitialOutputFile(const TLastFolders& folders) {
    return IncludeTrailingDelimiter(folders.Output) + "videocd.bin";
}
