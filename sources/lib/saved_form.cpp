#include "lib/saved_form.h"

#include <filesystem>

#include "lib/ini_file.h"
#include "lib/text.h"
#include "platform/folders.h"

TSavedForm::TSavedForm(const std::string& ownerName, bool ownerIsForm) : SavedName(ownerName) {
    if (!ownerIsForm) throw ESavedFormError(SavedFormNotAFormError);
}

std::string TSavedForm::KeyPrefix(const TScreenInfo& screen) const {
    return SavedName + "_" + std::to_string(screen.PixelsPerInch) + "_" + std::to_string(screen.Width) + "x" +
           std::to_string(screen.Height) + "_";
}

std::string TSavedForm::IniFilePath() const {
    const std::filesystem::path relative(IniFile);
    const std::string path = IniFileFolder(relative.filename().string()) + "/" + IniFile;
    if (!FolderExists(std::filesystem::path(path).parent_path().string()))
        throw ESavedFormError(SavedFormNoFolderError);
    return path;
}

TFormGeometry TSavedForm::Load(const TFormGeometry& current, const TScreenInfo& screen) const {
    if (OnLoadRequest && !OnLoadRequest()) return current;
    const TIniFile ini(IniFilePath());
    if (OnBeforeLoad) OnBeforeLoad();
    const std::string prefix = KeyPrefix(screen);
    TFormGeometry result = current;
    if (SaveSize) {
        result.Width = ini.ReadInteger(Section, prefix + "Width", current.Width);
        result.Height = ini.ReadInteger(Section, prefix + "Height", current.Height);
    }
    if (SavePosition) {
        int left = current.Left;
        int top = current.Top;
        if (CenterForm) {
            left = (screen.Width - result.Width) / 2;
            top = (screen.Height - result.Height) / 2;
        }
        result.Left = ini.ReadInteger(Section, prefix + "Left", left);
        result.Top = ini.ReadInteger(Section, prefix + "Top", top);
    }
    if (SaveState) {
        // A window is never restored minimised.
        const int state = ini.ReadInteger(Section, prefix + "State", -1);
        if (state == 0 || state == 1) result.State = TWindowState::wsNormal;
        if (state == 2) result.State = TWindowState::wsMaximized;
    }
    if (OnAfterLoad) OnAfterLoad();
    return result;
}

bool TSavedForm::Save(const TFormGeometry& current, const TScreenInfo& screen) const {
    if (OnSaveRequest && !OnSaveRequest()) return false;
    TIniFile ini(IniFilePath());
    const std::string prefix = KeyPrefix(screen);
    const bool normal = current.State == TWindowState::wsNormal;
    if (SavePosition && normal) {
        ini.WriteInteger(Section, prefix + "Left", current.Left);
        ini.WriteInteger(Section, prefix + "Top", current.Top);
    }
    if (SaveSize && normal) {
        ini.WriteInteger(Section, prefix + "Width", current.Width);
        ini.WriteInteger(Section, prefix + "Height", current.Height);
    }
    if (SaveState) ini.WriteInteger(Section, prefix + "State", static_cast<int>(current.State));
    return ini.UpdateFile();
}
