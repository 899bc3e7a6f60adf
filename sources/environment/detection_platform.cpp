#include "environment/detection_platform.h"

#include "lib/system_folders.h"

const TDetectionPlatform& SystemDetectionPlatform() {
    static const TDetectionPlatform platform{
        .Family = [] { return TWindowsFamily::Other; },
        .SystemFolder = [] { return GetSystemFolder(); },
        // cdrdao here never loads an ASPI library, wherever one lies.
        .SystemFileExists = [](const std::string&) { return false; },
        .NeroFolders = [] { return TStringList{}; },
        .AspiDllIn = [](const std::string&) { return false; },
        // An unknown family is never checked.
        .AspiInstallationClass = [] { return 11; },
        .KernelScsiLayer = [] { return true; },
    };
    return platform;
}
