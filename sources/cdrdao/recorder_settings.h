// The recorder settings as the user chose them, and the cdrdao options they
// give: what every cdrdao command runs with.
#pragma once

#include <string>

#include "cdrdao/command_cd.h"

class TSettings;

struct TRecorderChoices {
    std::string WriterDevice;  // the writer's scan entry, or empty
    std::string WriterDriver = " default";
    std::string WriterSpeed = "4x";
    std::string WriterBuffer = "64";
    bool DisableBurnProof = false;
    std::string ReaderDevice;
    std::string ReaderDriver = " default";
    bool EjectWhenNoDisc = false;
    bool DisableReload = false;  // cdrdao may not reload the disc
};

// The choices kept in the settings store.
TRecorderChoices RecorderChoicesFrom(const TSettings& store);

// " --device /dev/sr0" for a scan entry, empty for none.
std::string DeviceOption(const std::string& entry);
// " --speed N"; "MAX" and any value not offered give 0 (the drive's best).
std::string SpeedOption(const std::string& speed);
// " --buffers N"; a value not offered gives the first one, 32.
std::string BuffersOption(const std::string& buffers);
// " --driver NAME", with the generic-mmc option that switches BURN-Proof off
// when asked (writers only); empty for the default driver.
std::string DriverOption(const std::string& driver, bool disableBurnProof);

// The snapshot one cdrdao command runs with.
TCdrDaoSettingsPtr MakeCdrDaoSettings(const TRecorderChoices& choices);
