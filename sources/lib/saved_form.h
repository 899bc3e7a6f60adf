// Window position memory: the bounds and state of a window, kept in the INI
// file per screen resolution and font size. The window toolkit supplies the
// current geometry and applies what Load returns.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

enum class TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

struct TFormGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    TWindowState State = TWindowState::wsNormal;
    bool operator==(const TFormGeometry&) const = default;
};

struct TScreenInfo {
    int PixelsPerInch = 96;
    int Width = 0;
    int Height = 0;
};

class ESavedFormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* SavedFormNotAFormError = "TSavedForm: owner is not a TForm";
inline constexpr const char* SavedFormNoFolderError = "TSavedForm: folder for ini file does not exist";

class TSavedForm {
public:
    // `ownerName` is the window's name; a non-window owner is refused.
    explicit TSavedForm(const std::string& ownerName, bool ownerIsForm = true);

    bool SaveState = true;
    bool SavePosition = true;
    bool SaveSize = true;
    std::string IniFile = "Settings.ini";
    std::string Section = "Positions";
    std::string SavedName;
    bool CenterForm = false;

    // Each may veto by returning false.
    std::function<bool()> OnLoadRequest;
    std::function<bool()> OnSaveRequest;
    std::function<void()> OnBeforeLoad;
    std::function<void()> OnAfterLoad;

    // "LumoraMain_96_1024x768_".
    std::string KeyPrefix(const TScreenInfo& screen) const;
    // Where the INI file is; throws ESavedFormError when its folder is missing.
    std::string IniFilePath() const;

    // The geometry to apply: stored values where present, `current` (or the
    // centred position) otherwise. A vetoed load returns `current`.
    TFormGeometry Load(const TFormGeometry& current, const TScreenInfo& screen) const;
    // Stores `current`; bounds only while the window is in its normal state.
    // False when vetoed or when the file could not be written.
    bool Save(const TFormGeometry& current, const TScreenInfo& screen) const;
};
