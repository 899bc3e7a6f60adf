#include "lib/system_folders.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "lib/text.h"
#include "platform/folders.h"
#include "services/services.h"

std::string GetRegistryString(const TRegistryStore& registry, TRootKeys root, const std::string& rootName,
                              const std::string& keyPath, const std::string& valueName, bool verbose) {
    const std::string path = rootName + "\\" + keyPath + "\\" + valueName;
    if (verbose) Dialogs().ShowMessage("Will read: " + path);
    try {
        if (!registry.KeyExists(root, keyPath)) {
            if (verbose) Dialogs().ShowMessage("Unable to open " + path);
            return {};
        }
        return Trim(registry.ReadString(root, keyPath, valueName).value_or(""));
    } catch (const std::exception&) {
        if (verbose) Dialogs().ShowMessage("GetRegistryString Exception Caught ;-)");
        return {};
    }
}

std::string GetRegistryString(TRootKeys root, const std::string& rootName, const std::string& keyPath,
                              const std::string& valueName, bool verbose) {
    return GetRegistryString(TRegistryStore(), root, rootName, keyPath, valueName, verbose);
}

std::string GetProgramFilesFolder() {
    return GetRegistryString(TRootKeys::rkHKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
                             "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", false);
}

std::string GetSystemFolder() { return {}; }

std::string GetPersonalFolder() { return HomeFolder(); }

std::string DefaultFolder(const std::string& folder) {
    if (FolderExists(folder)) return IncludeTrailingDelimiter(folder);
    const std::string personal = GetPersonalFolder();
    if (FolderExists(personal)) return IncludeTrailingDelimiter(personal);
    std::error_code error;
    const std::string current = std::filesystem::current_path(error).string();
    if (!error && FolderExists(current)) return IncludeTrailingDelimiter(current);
    return IncludeTrailingDelimiter(ProgramFolder());
}
