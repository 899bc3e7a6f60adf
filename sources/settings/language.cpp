#include "settings/language.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <map>
#include <optional>

#include "lib/ini_file.h"
#include "lib/product.h"
#include "lib/safe_file.h"
#include "platform/folders.h"
#include "settings/dialog_captions.h"

namespace {

namespace fs = std::filesystem;

const std::string Base = LowerCase(ProductName);
constexpr const char* NotInitialised = "Language has not been initialised";

struct TLanguageState {
    bool Initialised = false;
    bool Active = false;
    std::string FilePath;
    TIniFile File;
    std::string Code;
    std::string DialogCaptionsCode;
    // Window name \n component.property (lower case) -> value before the first translation.
    std::map<std::string, TPropertyValue> Originals;
    bool GuardReported = false;
    std::function<void(const std::string&)> GuardReporter;
};

TLanguageState& State() {
    static TLanguageState state;
    return state;
}

std::string ApplyTextConventions(const std::string& text) { return ReplaceAll(ReplaceAll(text, "~", "\t"), "^", "\r"); }

std::string Brackets(const std::string& name) { return ReplaceAll(ReplaceAll(name, "[", "("), "]", ")"); }

// Lines trimmed, tabs made blanks, blanks before the first "=" dropped, so
// that keys may be aligned with blanks or tabs.
std::optional<TIniFile> LoadLanguageFile(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    std::string text;
    for (const std::string& raw : SplitLines(*bytes)) {
        std::string line = Trim(ReplaceAll(raw, "\t", " "));
        const std::size_t equal = line.find('=');
        if (equal != std::string::npos) line = TrimRight(std::string_view(line).substr(0, equal)) + line.substr(equal);
        text += line + "\n";
    }
    return TIniFile::FromText(text, false);
}

std::string Suffix(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return name.substr(Base.size() + 1, name.size() - Base.size() - 1 - 4);
}

std::string FileLanguageName(const TIniFile& file) { return Trim(file.ReadString("Language", "Language", "")); }

std::string FileLanguageCode(const TIniFile& file) {
    return LowerCase(Trim(file.ReadString("Language", "LanguageExt", "")));
}

// The file of a suffix, in the folders searched for shipped files.
std::string FileWithSuffix(const std::string& suffix) {
    if (suffix.empty()) return {};
    for (const std::string& path : LanguageFiles())
        if (SameText(Suffix(path), suffix)) return path;
    return {};
}

// The locale's file: the three-letter suffix, then the two-letter one, then
// the program's own code for that language.
std::string LocaleFile(const TLocaleLanguage& locale) {
    for (const std::string& suffix : {locale.ThreeLetters, locale.TwoLetters, locale.ProgramCode})
        if (const std::string path = FileWithSuffix(suffix); !path.empty()) return path;
    return {};
}

struct TIsoLanguage {
    const char* Two;
    const char* Three;
    const char* Program;
};

constexpr TIsoLanguage IsoLanguages[] = {
    {"ar", "ara", ""},   {"bg", "bul", ""},   {"ca", "cat", ""},   {"cs", "ces", "cz"}, {"da", "dan", "dk"},
    {"de", "deu", ""},   {"el", "ell", ""},   {"en", "eng", ""},   {"es", "spa", ""},   {"et", "est", ""},
    {"fi", "fin", ""},   {"fr", "fra", ""},   {"he", "heb", ""},   {"hi", "hin", ""},   {"hr", "hrv", ""},
    {"hu", "hun", ""},   {"id", "ind", "in"}, {"it", "ita", ""},   {"ja", "jpn", ""},   {"ko", "kor", ""},
    {"lt", "lit", ""},   {"lv", "lav", ""},   {"nb", "nob", ""},   {"nl", "nld", ""},   {"no", "nor", ""},
    {"pl", "pol", "po"}, {"pt", "por", ""},   {"ro", "ron", ""},   {"ru", "rus", ""},   {"sk", "slk", ""},
    {"sl", "slv", ""},   {"sr", "srp", ""},   {"sv", "swe", "se"}, {"th", "tha", ""},   {"tr", "tur", ""},
    {"uk", "ukr", ""},   {"vi", "vie", ""},   {"zh", "zho", "cn"},
};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

void ReportGuard() {
    TLanguageState& state = State();
    if (state.GuardReported) return;
    state.GuardReported = true;
    if (state.GuardReporter)
        state.GuardReporter(NotInitialised);
    else
        std::cerr << NotInitialised << std::endl;
}

std::string Lookup(const std::string& section, const std::string& key, const std::string& fallback) {
    TLanguageState& state = State();
    if (!state.Initialised) ReportGuard();
    std::string result = state.Active ? Trim(state.File.ReadString(section, Trim(key), fallback)) : fallback;
    if (result.empty()) result = fallback;
    // A translation takes exactly the values the program supplies, of the
    // same kinds in the same order; any other is not used.
    if (PlaceholderKinds(result) != PlaceholderKinds(fallback)) result = fallback;
    return ApplyTextConventions(result);
}

void Deactivate() {
    TLanguageState& state = State();
    state.Active = false;
    state.FilePath.clear();
    state.File = TIniFile();
    state.Code.clear();
}

std::string OriginalKey(const TTranslatableWindow& window, const std::string& path) {
    return LowerCase(window.WindowName()) + "\n" + LowerCase(path);
}

std::optional<TPropertyValue> FromText(const TPropertyValue& kind, const std::string& text) {
    if (std::holds_alternative<std::string>(kind)) return TPropertyValue(text);
    if (std::holds_alternative<int>(kind)) {
        const auto number = ParseInteger(text);
        if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
            return std::nullopt;
        return TPropertyValue(static_cast<int>(*number));
    }
    TStringList items;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        items.push_back(Trim(std::string_view(text).substr(start, comma - start)));
    items.push_back(Trim(std::string_view(text).substr(start)));
    if (items.back().empty()) items.pop_back();
    return TPropertyValue(items);
}

// The component and property of "Name" (its caption) or "Name.Sub.Property".
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return {path, "Caption"};
    const std::string owner = path.substr(0, dot);
    const std::size_t previous = owner.rfind('.');
    return {previous == std::string::npos ? owner : owner.substr(previous + 1), path.substr(dot + 1)};
}

std::optional<std::string> FindComponent(const TTranslatableWindow& window, const std::string& name) {
    for (const std::string& component : window.ComponentNames())
        if (SameText(component, name)) return component;
    return std::nullopt;
}

// Sets one property, remembering its value before the first change.
void ApplyValue(TTranslatableWindow& window, const std::string& path, const std::optional<TPropertyValue>& original,
                const std::string& text) {
    const auto [name, property] = SplitPath(path);
    const auto component = FindComponent(window, name);
    if (!component) return;
    const auto current = window.GetProperty(*component, property);
    if (!current) return;
    TLanguageState& state = State();
    const std::string key = OriginalKey(window, path);
    if (!state.Originals.contains(key)) state.Originals.emplace(key, *current);
    if (original) {
        window.SetProperty(*component, property, *original);
        return;
    }
    const std::string converted = ApplyTextConventions(text);
    if (converted.empty()) return;
    if (const auto value = FromText(*current, converted)) window.SetProperty(*component, property, *value);
}

}  // namespace

std::string Translate(const std::string& text) { return TranslateMessage(text); }

std::string TranslateMessage(const std::string& text) { return Lookup("Messages", text, text); }

std::string TranslateName(const std::string& key, const std::string& fallback) {
    return Lookup("Translations", key, fallback);
}

std::string TranslateTip(const std::string& key) { return Lookup("Tips", key, key); }

bool LanguageActive() { return State().Active; }

std::string LanguageFilePath() { return State().FilePath; }

std::string GetLanguageCode() {
    const TLanguageState& state = State();
    if (!state.Active) return "en";
    const std::string code = FileLanguageCode(state.File);
    return code.empty() ? state.Code : code;
}

TStringList LanguageFiles() {
    TStringList files;
    for (const std::string& folder : ShippedFolders()) {
        TStringList inFolder;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.size() > Base.size() + 1 + 4 && StartsText(name, Base + "_") && EndsText(name, ".lng") &&
                it->is_regular_file(error))
                inFolder.push_back(it->path().string());
        }
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

std::string LanguageMenuEntry(const std::string& name, const std::string& version) {
    const std::string trimmed = Trim(version);
    return Brackets(name) + " \t [v" + (trimmed.empty() ? std::string("?") : trimmed.substr(0, 5)) + "]";
}

TStringList GetLanguageList() {
    TStringList entries;
    for (const std::string& path : LanguageFiles()) {
        const auto file = LoadLanguageFile(path);
        if (!file) continue;
        const std::string name = FileLanguageName(*file);
        if (name.empty()) continue;
        entries.push_back(LanguageMenuEntry(name, file->ReadString("Language", "LanguageVersion", "")));
    }
    std::sort(entries.begin(), entries.end());
    // The same file beside the program and installed would only repeat an entry.
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

std::string NormaliseLanguageName(const std::string& text) {
    std::string name = text;
    for (char stop : {'\t', '[', '?'}) name = name.substr(0, name.find(stop));
    return Trim(name);
}

TLocaleLanguage LocaleLanguage() {
    std::string locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = Environment(variable);
        if (!locale.empty()) break;
    }
    const std::string language = LowerCase(locale.substr(0, locale.find_first_of("_.@")));
    TLocaleLanguage result;
    if (language.size() != 2 && language.size() != 3) return result;
    if (!std::all_of(language.begin(), language.end(), [](char c) { return c >= 'a' && c <= 'z'; })) return result;
    for (const TIsoLanguage& iso : IsoLanguages) {
        if (language == iso.Two || language == iso.Three) {
            result.TwoLetters = iso.Two;
            result.ThreeLetters = iso.Three;
            result.ProgramCode = iso.Program;
        }
    }
    if (result.TwoLetters.empty()) {
        (language.size() == 2 ? result.TwoLetters : result.ThreeLetters) = language;
    }
    // Chinese as written in Taiwan and Hong Kong has a file of its own.
    const std::string territory = UpperCase(locale.substr(std::min(locale.size(), language.size() + 1), 2));
    if (result.TwoLetters == "zh" && (territory == "TW" || territory == "HK")) result.ProgramCode = "tw";
    return result;
}

std::string DetectLanguageName() {
    const std::string path = LocaleFile(LocaleLanguage());
    if (path.empty()) return {};
    const auto file = LoadLanguageFile(path);
    return file ? Brackets(FileLanguageName(*file)) : std::string();
}

void ActivateLanguage(bool active, const std::string& filePath, bool noAutoDetect, const std::string& languageName) {
    TLanguageState& state = State();
    state.Initialised = true;
    if (!active) {
        Deactivate();
        return;
    }
    std::string chosen;
    std::optional<TIniFile> file;
    std::string code;
    if (!filePath.empty() && FileExists(filePath)) {
        chosen = filePath;
        file = LoadLanguageFile(chosen);
        if (file) code = FileLanguageCode(*file);
        const std::string name = fs::path(chosen).filename().string();
        if (code.empty() && StartsText(name, Base + "_") && EndsText(name, ".lng"))
            code = LowerCase(Suffix(chosen).substr(0, 2));
    } else if (!Trim(languageName).empty()) {
        for (const std::string& path : LanguageFiles()) {
            auto candidate = LoadLanguageFile(path);
            if (candidate && SameText(Brackets(FileLanguageName(*candidate)), Trim(languageName))) {
                chosen = path;
                code = FileLanguageCode(*candidate);
                file = std::move(candidate);
                break;
            }
        }
    } else if (!noAutoDetect) {
        const TLocaleLanguage locale = LocaleLanguage();
        chosen = LocaleFile(locale);
        // Only a user without any locale gets a lone file unasked: with a
        // locale of its own and no file for it, English is the safer choice.
        if (chosen.empty() && locale.TwoLetters.empty() && locale.ThreeLetters.empty()) {
            const TStringList files = LanguageFiles();
            if (files.size() == 1) chosen = files.front();
        }
        if (!chosen.empty()) {
            file = LoadLanguageFile(chosen);
            code = LowerCase(Suffix(chosen).substr(0, 2));
        }
    }
    if (chosen.empty() || !file) {
        Deactivate();
        return;
    }
    state.Active = true;
    state.FilePath = chosen;
    state.File = std::move(*file);
    state.Code = code;
}

std::string ActivateStartupLanguage(const std::string& storedLanguage) {
    std::string name = NormaliseLanguageName(storedLanguage);
    if (name.empty()) name = DetectLanguageName();
    if (name.empty()) {
        ActivateLanguage(false);
        return {};
    }
    ActivateLanguage(true, {}, true, name);
    return name;
}

int SelectLanguage(const std::string& name, const TStringList& menuEntries, std::string& chosenName) {
    const std::string wanted = NormaliseLanguageName(name);
    int index = -1;
    for (std::size_t i = 0; i < menuEntries.size() && index < 0; ++i)
        if (!wanted.empty() && SameText(NormaliseLanguageName(menuEntries[i]), wanted)) index = static_cast<int>(i);
    chosenName =
        index < 0 ? std::string("English") : NormaliseLanguageName(menuEntries[static_cast<std::size_t>(index)]);
    // "English" finds no file and so means no translation.
    ActivateLanguage(true, {}, true, chosenName);
    return index;
}

void TranslateForm(TTranslatableWindow& window, const TStringList& componentNames) {
    TLanguageState& state = State();
    const std::string code = state.Active ? state.Code : std::string();
    if (code != state.DialogCaptionsCode) {
        SetDialogCaptions(code);
        state.DialogCaptionsCode = code;
    }
    for (const std::string& path : componentNames) {
        std::string text;
        if (state.Active) text = Trim(state.File.ReadString("Translations", Trim(path), ""));
        std::optional<TPropertyValue> original;
        // Without a text of the language, the caption the window was designed with.
        if (text.empty()) {
            const auto found = state.Originals.find(OriginalKey(window, path));
            if (found == state.Originals.end()) continue;
            original = found->second;
        }
        ApplyValue(window, path, original, text);
    }
}

void SetLanguageGuardReporter(std::function<void(const std::string&)> reporter) {
    State().GuardReporter = std::move(reporter);
}

void ResetLanguageState() {
    auto reporter = std::move(State().GuardReporter);
    State() = TLanguageState();
    State().GuardReporter = std::move(reporter);
    SetDialogCaptions("");
}
