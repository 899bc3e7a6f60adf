// A Windows-like system for the SCSI layer rules: which files exist where is
// a plain set of paths.
#pragma once

#include <set>
#include <string>

#include "environment/detection_platform.h"

struct TFakeSystem {
    TWindowsFamily Family = TWindowsFamily::Nt;
    std::string SystemFolder = "C:\\WINDOWS\\SYSTEM32";
    std::set<std::string> SystemFiles;  // relative to the system folder
    TStringList NeroFolders;
    std::set<std::string> DllFolders;  // folders holding a WnAspi32.dll
    int InstallationClass = 10;
    bool Kernel = false;

    TDetectionPlatform Platform() const {
        return {
            .Family = [this] { return Family; },
            .SystemFolder = [this] { return SystemFolder; },
            .SystemFileExists = [this](const std::string& name) { return SystemFiles.count(name) > 0; },
            .NeroFolders = [this] { return NeroFolders; },
            .AspiDllIn = [this](const std::string& folder) { return DllFolders.count(folder) > 0; },
            .AspiInstallationClass = [this] { return InstallationClass; },
            .KernelScsiLayer = [this] { return Kernel; },
        };
    }
};
