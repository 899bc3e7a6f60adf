// The keys read straight from the INI file before the settings store exists:
// tools detection, the SCSI report and the writers need them at start-up.
// Each flag is on only when its trimmed text is exactly "1".
#pragma once

#include <string>

#include "lib/ini_file.h"

enum class TPreferredAspi { None, Windows, Adaptec, Nero, Cdrdao };

struct TStartupKeys {
    std::string Language;  // as written, not yet normalised
    bool ForceNoCdrdao = false;
    bool ForceCdrdao = false;
    TPreferredAspi PreferredAspi = TPreferredAspi::None;
    bool AspiWindowsWasOk = false;
    bool AspiAdaptecWasOk = false;
    bool AspiNeroWasOk = false;
    bool AspiCdrdaoWasOk = false;
    bool EnableAspiTools = false;
    bool ExpertForceEnableAspiTools = false;
    bool Debug = false;
    bool EncryptFiles = true;  // on unless exactly "0"
    bool ExpertLongBinNameOnly = false;
    bool NoScaling = false;
    std::string CdWriterDevice;
    std::string CdWriterDriver;
    std::string CdReaderDevice;
    std::string CdReaderDriver;
};

// Reads the raw keys of the program's section; `ini` is usually the program's
// INI file.
class TStartupKeysReader {
public:
    // The program's own INI file ("Lumora.ini" where the settings live).
    TStartupKeysReader();
    explicit TStartupKeysReader(TIniFile ini);

    TStartupKeys Read() const;
    // Any other remembered flag ("DoNotShowNoCdrdaoAgain" and the like).
    bool Flag(const std::string& key) const;
    // The trimmed text of a key, empty when missing.
    std::string Text(const std::string& key) const;

private:
    TIniFile Ini;
};
