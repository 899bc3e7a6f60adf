// The log settings page as a model: detail level, warnings, and the log file.
#pragma once

#include <string>

#include "exec/status_router.h"
#include "lib/settings.h"
#include "lib/text.h"
#include "workflow/log_file.h"

class TLogSettingsModel {
public:
    bool Verbose = true;
    bool ShowWarnings = true;
    bool SaveLog = false;
    std::string FileName;  // the edit's text

    void DefaultSettings(TSettings& store) const;
    void LoadSettings(const TSettings& store);
    void SaveSettings(TSettings& store) const;

    TStatusRouterOptions RouterOptions() const { return {Verbose, ShowWarnings}; }

    // Applies the save option to `file`: opens the named file (the edit then
    // shows its absolute name) or closes it. A file that cannot be opened
    // switches saving off and returns the message to show; empty otherwise.
    std::string ApplySave(TLogFile& file);
    // "Clean Log" is offered exactly while saving is on.
    bool CleanEnabled() const { return SaveLog; }
    // "Save the Log" can be checked only with a name.
    bool SaveEnabled() const { return !Trim(FileName).empty(); }
    // The name was edited (and editing ended): saving is applied again, off without a name.
    std::string NameEdited(const std::string& name, TLogFile& file);
    // A name chosen in the save dialog: ".txt" is added unless present.
    static std::string WithTextExtension(const std::string& name);
};
