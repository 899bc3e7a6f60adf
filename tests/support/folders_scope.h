// Points the program folder and the configuration folder at temporary folders
// for the lifetime of the object.
#pragma once

#include <string>

#include "platform/folders.h"

class TFoldersScope {
public:
    TFoldersScope(const std::string& program, const std::string& config) {
        SetProgramFolderOverride(program);
        SetConfigFolderOverride(config);
    }
    ~TFoldersScope() {
        SetProgramFolderOverride("");
        SetConfigFolderOverride("");
    }
    TFoldersScope(const TFoldersScope&) = delete;
    TFoldersScope& operator=(const TFoldersScope&) = delete;
};
