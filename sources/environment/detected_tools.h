// What the start-up detection found of the external tools: folders, versions
// and availability, and the chosen SCSI access layer. Set once at start-up
// (the bus scan may later switch cdrdao support), read by every tool command.
#pragma once

#include <cstdint>
#include <string>

#include "lib/text.h"

// The SCSI access layer cdrdao and the drive tools go through.
enum class TAspiLayer : std::uint8_t {
    None = 0,
    Windows = 1,
    Adaptec = 2,
    Nero = 3,
    CdrdaoFolder = 4,
    LinuxSgIo = 5,  // the kernel's SG_IO on the device node
};

// The remembered "Don't show this message again" answers of the detection's
// messages, read at start-up and stored back with the settings.
struct TDoNotShowFlags {
    bool NoVcdImager = false;
    bool NoCdrdao = false;
    bool NoMjpeg = false;
    bool NoAspiDll = false;
    bool BadVcdImager = false;
    bool BadCdrdao = false;
    bool CdrdaoReadWarning = false;
    bool CdrdaoDisabled = false;
    bool BadMjpegtools = false;
};

struct TDetectedTools {
    std::string ProgramFolder;  // with a trailing "/"

    std::string VcdImagerFolder;  // with a trailing "/", or empty when not found
    bool VcdImagerAvailable = false;
    std::string VcdImagerVersion;  // "GNU VCDImager 2.0.1"

    std::string CdrdaoFolder;
    std::uint8_t CdrdaoVersionCode = 0;  // 0 none or unsupported, 1 = 1.1.5, 2 = 1.1.7, 3 = 1.2.x
    bool CdrdaoInstalled = false;
    std::string CdrdaoVersion;          // "Cdrdao version 1.2.4", kept even when not supported
    bool CdrdaoSupportEnabled = false;  // a device was found by the bus scan
    // Found, but switched off by the user or for want of a usable SCSI layer.
    bool CdrdaoDisabled = false;

    std::string MjpegToolsFolder;
    std::uint8_t MjpegToolsVersionCode = 0;  // 0 none, 1 = 1.6.0-beta1, 2 any other supported
    bool MjpegToolsAvailable = false;
    std::string MplexVersion;

    bool AspiWindowsPresent = false;
    bool AspiAdaptecPresent = false;
    bool AspiNeroPresent = false;
    bool AspiCdrdaoPresent = false;
    TAspiLayer AspiLayer = TAspiLayer::None;
    std::string AspiDllPath;
    std::string AspiFolder;          // without a trailing "/"; empty: no folder to put on PATH
    int AspiInstallationClass = 11;  // 11: not checked

    bool ScsiToolsAllowed = false;
    bool ScsiToolsEnabled = false;

    // The user's cdrdao switches as this run leaves them (stored back with the settings).
    bool ForceNoCdrdao = false;
    bool ForceCdrdao = false;
    TDoNotShowFlags DoNotShow;

    // The lines each tool printed for its version query, for the about page.
    TStringList VcdImagerBanner;
    TStringList CdrdaoBanner;
    TStringList MplexBanner;
};

// The program-wide state; a front end fills it through the detection at start-up.
TDetectedTools& DetectedTools();
