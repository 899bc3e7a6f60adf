// The settings store: a declared list of named, typed settings, each kept in
// the INI file (one section) or under one registry key. Pages read and write
// values by name; Load and Save move them between the store and the disk.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

#include "lib/registry_store.h"

enum class TSettingType { stBoolean, stCurrency, stDate, stDateTime, stFloat, stInteger, stString, stTime };

enum class TSettingStorage { ssRegistry, ssIniFile };

// Empty (nothing loaded or set), or a value. Dates and times are days since
// 1899-12-30 with the time of day as the fraction, as the stored files have them.
using TSettingValue = std::variant<std::monostate, bool, std::int32_t, double, std::string>;

inline bool IsEmpty(const TSettingValue& value) { return std::holds_alternative<std::monostate>(value); }

// The value converted to a type, or nothing when it cannot be (text that is
// not a number, an empty value).
std::optional<TSettingValue> ConvertSetting(const TSettingValue& value, TSettingType type);

// The INI text of a value of a type: "1"/"0", decimal numbers, ISO dates.
std::optional<std::string> SettingToIniText(const TSettingValue& value, TSettingType type);
// The value of an INI text, or nothing when the text does not fit the type.
std::optional<TSettingValue> SettingFromIniText(const std::string& text, TSettingType type);

// A programming error: a setting name that was never declared.
class ESettingsError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class TSettings;

class TSettingItem {
public:
    TSettingItem(TSettings& owner, std::string name, TSettingType type, TSettingStorage storage);

    const std::string& Name() const { return ItemName; }
    TSettingType DataType() const { return Type; }
    TSettingStorage Storage() const { return Where; }
    const TSettingValue& Value() const { return Current; }
    const TSettingValue& ValueDefault() const { return Default; }

    // Each marks the item changed when the new value differs from the old one.
    void SetName(const std::string& name);
    void SetDataType(TSettingType type);
    void SetStorage(TSettingStorage storage);
    void SetValue(const TSettingValue& value);
    void SetValueDefault(const TSettingValue& value);

private:
    TSettings& Owner;
    std::string ItemName;
    TSettingType Type;
    TSettingStorage Where;
    TSettingValue Current;
    TSettingValue Default;

    void Changed();
};

class TSettings {
public:
    TSettings() = default;
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // Declares a setting at the end of the collection.
    TSettingItem& Add(const std::string& name, TSettingType type, TSettingStorage storage = TSettingStorage::ssIniFile,
                      const TSettingValue& valueDefault = {});
    const std::deque<TSettingItem>& Settings() const { return Items; }

    // Only the file-name part counts; empty becomes "Settings.ini".
    void SetIniFileName(const std::string& name);
    const std::string& IniFileName() const { return IniName; }
    // Where the INI file is read and written now.
    std::string IniFilePath() const;

    TRootKeys RootKey = TRootKeys::rkHKEY_CURRENT_USER;
    std::string BaseKey = "Software";
    void SetApplicationKey(const std::string& key);  // blank becomes "Application"
    const std::string& ApplicationKey() const { return AppKey; }
    void SetApplicationIni(const std::string& section);  // blank becomes "Application"
    const std::string& ApplicationIni() const { return AppIni; }
    // BaseKey\ApplicationKey, or just the one that is not empty.
    std::string RegistryKey() const;
    // The registry file; empty: the current user's one.
    std::string RegistryFileName;

    // Called with the item whenever one changes.
    std::function<void(TSettingItem&)> OnChange;
    bool Modified() const { return IsModified; }
    void ClearModified() { IsModified = false; }

    // Reads every item from its storage; missing or unusable values give the default.
    void Load();
    // Writes every item that has a value; a value that cannot be stored is
    // skipped. False when something was not written.
    bool Save();

    TSettingItem* FindItem(const std::string& name);
    const TSettingItem* FindItem(const std::string& name) const;

    // By name; an undeclared name throws ESettingsError.
    const TSettingValue& GetValue(const std::string& name) const;
    void SetValue(const std::string& name, const TSettingValue& value);
    const TSettingValue& GetValueDefault(const std::string& name) const;
    void SetValueDefault(const std::string& name, const TSettingValue& value);

    // Typed reads of the value: an empty or unconvertible value gives the
    // default, then `fallback`.
    bool GetBool(const std::string& name, bool fallback = false) const;
    std::int32_t GetInteger(const std::string& name, std::int32_t fallback = 0) const;
    double GetFloat(const std::string& name, double fallback = 0) const;
    std::string GetString(const std::string& name, const std::string& fallback = {}) const;

private:
    friend class TSettingItem;
    std::deque<TSettingItem> Items;  // stable addresses as items are added
    std::string IniName = "Settings.ini";
    std::string AppKey = "Application";
    std::string AppIni = "Application";
    bool IsModified = false;

    const TSettingItem& Item(const std::string& name) const;
    TSettingItem& Item(const std::string& name);
    TRegistryStore Registry() const;
    bool WriteRegistryItem(TRegistryStore& registry, const std::string& key, const TSettingItem& item) const;
    void ItemChanged(TSettingItem& item);
    std::optional<TSettingValue> Typed(const std::string& name, TSettingType type) const;
};
