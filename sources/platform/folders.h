// Where the program finds its own folder, its configuration and its shipped
// files. Folders are returned without a trailing delimiter.
#pragma once

#include <string>

#include "lib/text.h"

// The folder of the running executable; tests point it elsewhere.
std::string ProgramFolder();
void SetProgramFolderOverride(const std::string& folder);  // empty: back to the executable's folder

// $XDG_CONFIG_HOME/lumora, else ~/.config/lumora; tests point it elsewhere.
std::string ConfigFolder();
void SetConfigFolderOverride(const std::string& folder);

// The installed data folder (<prefix>/share/lumora); tests point it elsewhere.
std::string InstalledDataFolder();
void SetInstalledDataFolderOverride(const std::string& folder);

// $XDG_DATA_HOME/lumora, else ~/.local/share/lumora: where a user adds data
// files of their own (CD-i application files); tests point it elsewhere.
std::string UserDataFolder();
void SetUserDataFolderOverride(const std::string& folder);

// The user's home folder, empty when unknown.
std::string HomeFolder();

// Folders searched for shipped files ("Extra", "Cdi", "Docs", sounds,
// language files), in order: the program folder, the user data folder, then
// the installed data folder (each once).
TStringList ShippedFolders();
// The first existing `relative` path inside the shipped folders, or empty.
std::string FindShippedFile(const std::string& relative);

// Where the INI file named `fileName` lives: the program folder when it already
// holds the file or is writable (portable use), otherwise the config folder,
// which is created when missing.
std::string IniFileFolder(const std::string& fileName);
std::string IniFilePath(const std::string& fileName);

// The file that keeps the registry settings.
std::string RegistryFilePath();

bool FolderExists(const std::string& folder);
bool FileExists(const std::string& path);
std::string IncludeTrailingDelimiter(const std::string& folder);
