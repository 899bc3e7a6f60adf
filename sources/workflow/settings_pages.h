// The General, CD Images and Warnings pages of the settings dialog as models:
// their values, defaults, load and store, and what each offers.
#pragma once

#include <string>

#include "lib/settings.h"

// What the detection found that the General page depends on.
struct TBurningAvailability {
    bool CdrdaoFolderFound = false;
    bool CdrdaoSupported = false;  // a supported cdrdao is installed
    bool ScsiToolsAllowed = false;
    bool ScsiToolsEnabled = false;
};

class TAuthoringSettingsModel {
public:
    bool XmlComments = true;
    bool FillVolumeLabel = false;
    bool FillAlbumName = false;
    bool EraseCdImageFiles = false;
    bool EraseXmlFile = false;
    bool NoMpegAnalyseStorage = false;
    bool IntegratedBurning = false;
    bool EnableAspiTools = false;

    TBurningAvailability Availability;

    bool IntegratedBurningEnabled() const { return Availability.CdrdaoFolderFound; }
    bool AspiToolsEnabled() const {
        return Availability.ScsiToolsAllowed && Availability.CdrdaoSupported && IntegratedBurning;
    }

    void DefaultSettings(TSettings& store) const;
    void LoadSettings(const TSettings& store);
    void SaveSettings(TSettings& store) const;
};

// Image type codes: Cue 0, AdvCue 1, Toc 2, Toast 3.
int ImageTypeCode(const std::string& name);
const char* ImageTypeName(int code);

class TCdImageSettingsModel {
public:
    int ImageType = 0;
    bool Use2336 = false;

    void DefaultSettings(TSettings& store) const;
    void LoadSettings(const TSettings& store);
    void SaveSettings(TSettings& store) const;
};

class TWarningsSettingsModel {
public:
    bool ShowSdoWarning = false;
    bool NoAutopaddingWarning = false;

    void DefaultSettings(TSettings& store) const;
    void LoadSettings(const TSettings& store);
    void SaveSettings(TSettings& store) const;
};
