// The folders the file dialogs start in: where the last file was opened from
// and where the last one was saved, kept in "LastInputFolder" and
// "LastOutputFolder" between runs.
#pragma once

#include <string>

#include "lib/settings.h"

struct TLastFolders {
    std::string Input;   // with a trailing delimiter
    std::string Output;  // with a trailing delimiter
};

// At start-up: each stored value trimmed and cut to its folder, through the
// folder fallback (that folder when it exists, else the home folder, else
// the current folder, else the program folder).
TLastFolders LoadLastFolders(const TSettings& settings);
// On saving the settings: the folders of the last paths.
void StoreLastFolders(TSettings& settings, const TLastFolders& folders);
// A path's folder becomes the last input or output folder.
void RememberFolderOf(std::string& lastFolder, const std::string& path);
// The output field at start-up: the last output folder and "videocd.bin".
std::string InitialOutputFile(const TLastFolders& folders);
