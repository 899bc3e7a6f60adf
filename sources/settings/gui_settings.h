// The main window's settings store: where it keeps its values and every
// setting it declares, with their defaults.
#pragma once

#include <span>
#include <string>

#include "lib/settings.h"

inline constexpr const char* GuiIniFileName = "Lumora.ini";
inline constexpr const char* GuiIniSection = "Lumora";
inline constexpr const char* GuiBaseKey = "Software\\Quillon";
inline constexpr const char* GuiApplicationKey = "Lumora\\1.1.6";

struct TSettingDeclaration {
    const char* Name;
    TSettingType Type;
    TSettingStorage Storage;
    TSettingValue Default;  // empty: none
};

// The declared settings in collection order; `Language` has no default here,
// it is the detected language.
std::span<const TSettingDeclaration> GuiSettingDeclarations();

// Targets `store` at the program's INI file and registry key and declares
// every setting. `detectedLanguage` is the default of `Language` ("English"
// when empty).
void DeclareGuiSettings(TSettings& store, const std::string& detectedLanguage);
