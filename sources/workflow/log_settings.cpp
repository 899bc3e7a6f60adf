#include "workflow/log_settings.h"

#include "lib/text.h"
#include "settings/language.h"

void TLogSettingsModel::DefaultSettings(TSettings& store) const {
    store.SetValueDefault("Log", std::string("Verbose"));
    store.SetValueDefault("LogWarnings", true);
    store.SetValueDefault("SaveLog", false);
    store.SetValueDefault("SaveLogFilename", std::string());
}

void TLogSettingsModel::LoadSettings(const TSettings& store) {
    Verbose = store.GetString("Log") == "Verbose";
    ShowWarnings = store.GetBool("LogWarnings", true);
    SaveLog = store.GetBool("SaveLog");
    FileName = store.GetString("SaveLogFilename");
}

void TLogSettingsModel::SaveSettings(TSettings& store) const {
    store.SetValue("Log", std::string(Verbose ? "Verbose" : "Normal"));
    store.SetValue("LogWarnings", ShowWarnings);
    store.SetValue("SaveLog", SaveLog);
    store.SetValue("SaveLogFilename", FileName);
}

std::string TLogSettingsModel::ApplySave(TLogFile& file) {
    if (!SaveLog || Trim(FileName).empty()) {
        SaveLog = false;
        file.CloseLogFile();
        return "";
    }
    const std::string wanted = Trim(FileName);
    const std::string opened = file.SetLogFile(wanted);
    if (opened.empty()) {
        SaveLog = false;
        file.CloseLogFile();
        return Format(Translate("The log file %s cannot be opened: the log is not saved."), wanted);
    }
    FileName = opened;
    return "";
}

std::string TLogSettingsModel::NameEdited(const std::string& name, TLogFile& file) {
    FileName = name;
    return ApplySave(file);
}

std::string TLogSettingsModel::WithTextExtension(const std::string& name) {
    return EndsText(name, ".txt") ? name : name + ".txt";
}
