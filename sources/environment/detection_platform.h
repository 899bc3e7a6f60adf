// What the tools detection asks the system about the SCSI access layer. The
// Windows layers (a WnAspi32.dll in the system, Nero or cdrdao folder, an
// installed ASPI class) are probes here, so their rules run against a fake
// system in the tests; this system answers with the kernel's SG_IO instead.
#pragma once

#include <functional>
#include <string>

#include "lib/text.h"

enum class TWindowsFamily { Nt = 0, Win95 = 1, Other = 2 };

struct TDetectionPlatform {
    std::function<TWindowsFamily()> Family;
    // The system folder, without a trailing delimiter; empty when there is none.
    std::function<std::string()> SystemFolder;
    // A file below the system folder ("WnAspi32.dll", "IOSUBSYS\NEROAPIX.VXD").
    std::function<bool(const std::string& relative)> SystemFileExists;
    // The folders a Nero installation may keep its ASPI layer in, in search order.
    std::function<TStringList()> NeroFolders;
    // Whether `folder` holds a WnAspi32.dll that cdrdao could load.
    std::function<bool(const std::string& folder)> AspiDllIn;
    // The class of the installed ASPI layer (0..11 of the SCSI layer report).
    std::function<int()> AspiInstallationClass;
    // Whether cdrdao and the drive tools reach drives through the kernel (SG_IO).
    std::function<bool()> KernelScsiLayer;
};

// This system: no Windows family, no ASPI library anywhere, drives through SG_IO.
const TDetectionPlatform& SystemDetectionPlatform();
