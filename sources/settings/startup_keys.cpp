#include "settings/startup_keys.h"

#include "platform/folders.h"
#include "settings/gui_settings.h"

TStartupKeysReader::TStartupKeysReader() : Ini(IniFilePath(GuiIniFileName)) {}

TStartupKeysReader::TStartupKeysReader(TIniFile ini) : Ini(std::move(ini)) {}

std::string TStartupKeysReader::Text(const std::string& key) const {
    return Trim(Ini.ReadString(GuiIniSection, key, ""));
}

bool TStartupKeysReader::Flag(const std::string& key) const { return Text(key) == "1"; }

TStartupKeys TStartupKeysReader::Read() const {
    TStartupKeys keys;
    keys.Language = Text("Language");
    keys.ForceNoCdrdao = Flag("ForceNoCdrdao");
    keys.ForceCdrdao = Flag("ForceCdrdao");
    const std::string aspi = LowerCase(Text("PreferredAspi"));
    if (aspi == "windows") keys.PreferredAspi = TPreferredAspi::Windows;
    if (aspi == "adaptec") keys.PreferredAspi = TPreferredAspi::Adaptec;
    if (aspi == "nero") keys.PreferredAspi = TPreferredAspi::Nero;
    if (aspi == "cdrdao") keys.PreferredAspi = TPreferredAspi::Cdrdao;
    keys.AspiWindowsWasOk = Flag("AspiWindowsWasOk");
    keys.AspiAdaptecWasOk = Flag("AspiAdaptecWasOk");
    keys.AspiNeroWasOk = Flag("AspiNeroWasOk");
    keys.AspiCdrdaoWasOk = Flag("AspiCdrdaoWasOk");
    keys.EnableAspiTools = Flag("EnableAspiTools");
    keys.ExpertForceEnableAspiTools = Flag("ExpertForceEnableAspiTools");
    keys.Debug = Flag("Debug");
    keys.EncryptFiles = Text("EncryptFiles") != "0";
    keys.ExpertLongBinNameOnly = Flag("Expert_LongBinNameOnly");
    keys.NoScaling = Flag("NoScaling");
    // Device and driver texts keep their blanks: " default" is a value of its own.
    keys.CdWriterDevice = Ini.ReadString(GuiIniSection, "CdWriterDevice", "");
    keys.CdWriterDriver = Ini.ReadString(GuiIniSection, "CdWriterDriver", "");
    keys.CdReaderDevice = Ini.ReadString(GuiIniSection, "CdReaderDevice", "");
    keys.CdReaderDriver = Ini.ReadString(GuiIniSection, "CdReaderDriver", "");
    return keys;
}
