// The interface language: which language file is active, the lookups of
// translated texts, the translation of windows' captions by component name,
// and the standard dialog captions. English needs no file: without an active
// language every text is shown as the program writes it.
//
// Texts may carry "^" for a line break and "~" for a tab, replaced after the
// lookup in every text; "%s" marks a value the program fills in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "lib/text.h"

// The program's translation function: a message looked up by its English text.
std::string Translate(const std::string& text);

// Chooses and loads the language. With `active`: `filePath` when it exists,
// else the file whose display name is `languageName`, else (unless
// `noAutoDetect`) the file of the user's locale. No file means English.
void ActivateLanguage(bool active, const std::string& filePath = {}, bool noAutoDetect = false,
                      const std::string& languageName = {});

std::string TranslateMessage(const std::string& text);                           // section "Messages"
std::string TranslateName(const std::string& key, const std::string& fallback);  // section "Translations"
std::string TranslateTip(const std::string& key);                                // section "Tips"

bool LanguageActive();
std::string LanguageFilePath();
// "LanguageExt" of the active file, lower case; "en" without a language.
std::string GetLanguageCode();

// The language files, in the order they are searched: the shipped folders
// in their order, each by file name.
TStringList LanguageFiles();
// One menu entry per language file: display name, " \t ", "[v" + version + "]"; sorted.
TStringList GetLanguageList();
// A menu entry for a display name and a version ("?" when empty).
std::string LanguageMenuEntry(const std::string& name, const std::string& version);
// The display name of the language file of the user's locale, or empty.
std::string DetectLanguageName();
// Cuts at the first tab, "[" and "?", then trims: a menu entry becomes a display name.
std::string NormaliseLanguageName(const std::string& text);

// The locale's language codes, from LC_ALL, LC_MESSAGES or LANG: two letters
// and the three-letter ISO 639-2 code; empty without a locale (or "C").
struct TLocaleLanguage {
    std::string TwoLetters;
    std::string ThreeLetters;
    std::string ProgramCode;  // the code this program's files use, when it differs ("cz" for "cs")
};
TLocaleLanguage LocaleLanguage();

// Start-up: the language stored in the INI file (normalised), else the one of
// the locale; activates it, or English when there is none. Returns the name
// used, empty for none (the default of the `Language` setting).
std::string ActivateStartupLanguage(const std::string& storedLanguage);

// Choosing a language from the menu or the stored setting: the index in
// `menuEntries` whose normalised caption is `name` (case ignored), or -1 for
// English; activates that language. `chosenName` receives what is stored in
// the `Language` setting.
int SelectLanguage(const std::string& name, const TStringList& menuEntries, std::string& chosenName);

// What TranslateForm needs of a window: its components by name, and their
// properties read and written by name. The GUI implements it over its widgets.
using TPropertyValue = std::variant<std::string, int, TStringList>;

class TTranslatableWindow {
public:
    virtual ~TTranslatableWindow() = default;
    virtual std::string WindowName() const = 0;
    // The names of every component the window owns.
    virtual TStringList ComponentNames() const = 0;
    // The current value of a property, or nothing when the component has no
    // such property; its alternative tells the property's kind.
    virtual std::optional<TPropertyValue> GetProperty(const std::string& component,
                                                      const std::string& property) const = 0;
    virtual void SetProperty(const std::string& component, const std::string& property,
                             const TPropertyValue& value) = 0;
};

// Translates each listed name ("Component" for its caption, or
// "Component.Property") from section "Translations"; without a language it
// restores the captions the window had before it was first translated.
void TranslateForm(TTranslatableWindow& window, const TStringList& componentNames);

// Receives the programming-error message shown when a text is translated
// before any language was activated (by default written to standard error,
// once per run).
void SetLanguageGuardReporter(std::function<void(const std::string&)> reporter);
// Back to the state at start: not initialised, English, no originals remembered.
void ResetLanguageState();
