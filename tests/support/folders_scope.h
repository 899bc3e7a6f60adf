// Points the program folder, the configuration folder, the user data folder
// and the installed data folder at temporary folders for the lifetime of the
// object.
#pragma once

#include <string>

#include "platform/folders.h"

class TFoldersScope {
public:
    TFoldersScope(const std::string& program, const std::string& config, const std::string& data = {}) {
        SetProgramFolderOverride(program);
        SetConfigFolderOverride(config);
        // By default no installed files can leak into a test.
        SetInstalledDataFolderOverride(data.empty() ? config + "/no-data" : data);
        SetUserDataFolderOverride(config + "/no-user-data");
    }
    ~TFoldersScope() {
        SetProgramFolderOverride("");
        SetConfigFolderOverride("");
        SetInstalledDataFolderOverride("");
        SetUserDataFolderOverride("");
    }
    TFoldersScope(const TFoldersScope&) = delete;
    TFoldersScope& operator=(const TFoldersScope&) = delete;
};
