// Which SCSI access layer cdrdao and the drive tools go through, from the
// layers present on the system, the user's preference and what was present
// at the previous run.
#pragma once

#include <string>

#include "environment/detected_tools.h"
#include "environment/detection_platform.h"
#include "settings/startup_keys.h"

struct TAspiChoice {
    bool WindowsPresent = false;
    bool AdaptecPresent = false;
    bool NeroPresent = false;
    bool CdrdaoPresent = false;
    bool KernelPresent = false;
    int InstallationClass = 11;
    TAspiLayer Layer = TAspiLayer::None;
    std::string DllPath;  // the chosen WnAspi32.dll; empty without one
    std::string Folder;   // its folder, without a trailing delimiter
    // The user's switches after this run's adjustments.
    bool ForceNoCdrdao = false;
    bool ForceCdrdao = false;
    TPreferredAspi Preferred = TPreferredAspi::None;
};

// `cdrdaoFolder` is the folder cdrdao was found in (with a trailing
// delimiter), empty when it was not found.
TAspiChoice ChooseAspiLayer(const TDetectionPlatform& platform, const TStartupKeys& keys,
                            const std::string& cdrdaoFolder);

// "AspiNone", "AspiWindows", "AspiAdaptec471Full", ... , "Linux SG_IO".
std::string AspiReportingName(TAspiLayer layer, int installationClass);
// What the user sees: "CDRDAO ASPI", "Adaptec v4.71 Min ASPI", "No ASPI", "Linux SG_IO".
std::string AspiStatusLabel(TAspiLayer layer, int installationClass);
// The drive tools work on layers that address drives themselves.
bool ScsiToolsAllowedOn(TAspiLayer layer);
