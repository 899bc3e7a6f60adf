// Names on the disc's ISO 9660 file system and the checks that a file of the
// hard disk must pass before it goes onto the disc.
#pragma once

#include <string>
#include <string_view>

// Joliet keeps the names of the hard disk; the ISO levels restrict them.
enum class TTreeMode { Joliet = 0, IsoLevel2 = 1, IsoLevel1 = 2 };

// The ISO name of a file or folder name (upper case, A-Z, 0-9 and "_", one dot
// before the extension, level 1: 8.3).
std::string IsoName(std::string_view name, bool isFolder, TTreeMode mode);

// Whether the ISO name lost something of the name (cut, or characters
// replaced): such names may meet another one's and are then numbered.
bool IsoNameIsShortened(std::string_view name, std::string_view isoName, bool isFolder);
// The ISO name with a numbered ending ("HOLIDA_1.TXT"), as short names get
// "~1" (which an ISO name spells "_1"): the base is cut so that the ending
// fits the mode's base length.
std::string NumberedIsoName(std::string_view isoName, bool isFolder, TTreeMode mode, int number);

// The message that refuses a path of the hard disk, or empty when it may be
// added: network paths (when refused), "&", characters outside 7-bit ASCII.
std::string DiskPathProblem(const std::string& path, bool noNetworkFiles);

// Whether the folder is a drive's recycle bin, skipped by folder scans.
bool IsRecycleFolderName(std::string_view name);
