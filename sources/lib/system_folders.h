// Small readers of registry values and of the system's folders, used by the
// tools detection and the file dialogs.
#pragma once

#include <string>

#include "lib/registry_store.h"

// The trimmed text of a string value; empty when the key or the value is
// missing or the value is not text. With `verbose` every step is shown.
std::string GetRegistryString(TRootKeys root, const std::string& rootName, const std::string& keyPath,
                              const std::string& valueName, bool verbose);
// The same, read from the given store.
std::string GetRegistryString(const TRegistryStore& registry, TRootKeys root, const std::string& rootName,
                              const std::string& keyPath, const std::string& valueName, bool verbose);

// Read where the other builds keep them: the program files and system
// folders have no counterpart here and read empty.
std::string GetProgramFilesFolder();
std::string GetSystemFolder();
// The user's personal folder: the home folder.
std::string GetPersonalFolder();

// The given folder when it exists, else the personal folder, else the current
// folder, else the program folder; always with a trailing delimiter.
std::string DefaultFolder(const std::string& folder);
