#include "lib/settings.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>

#include "lib/ini_file.h"
#include "lib/text.h"
#include "platform/folders.h"

namespace {

using namespace std::chrono;

constexpr sys_days DateZero = sys_days{year{1899} / December / 30};
constexpr double SecondsPerDay = 86400.0;

bool IsDateType(TSettingType type) {
    return type == TSettingType::stDate || type == TSettingType::stDateTime || type == TSettingType::stTime;
}

std::string FloatText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseFloat(std::string_view text) {
    std::string trimmed = Trim(text);
    // Some locales write a decimal comma.
    if (trimmed.find('.') == std::string::npos) trimmed = ReplaceAll(trimmed, ",", ".");
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> Digits(std::string_view text, std::size_t from, std::size_t count) {
    if (from + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DD" as days since the date zero.
std::optional<double> ParseDate(std::string_view text) {
    const auto y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (!y || !m || !d || text[4] != '-' || text[7] != '-') return std::nullopt;
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    return static_cast<double>((sys_days{date} - DateZero).count());
}

// "HH:MM:SS" as a fraction of a day.
std::optional<double> ParseTime(std::string_view text) {
    const auto h = Digits(text, 0, 2), m = Digits(text, 3, 2), s = Digits(text, 6, 2);
    if (!h || !m || !s || text[2] != ':' || text[5] != ':' || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
    return (*h * 3600 + *m * 60 + *s) / SecondsPerDay;
}

std::optional<double> ParseDateText(std::string_view raw, TSettingType type) {
    const std::string text = Trim(raw);
    if (type == TSettingType::stTime && text.size() == 8) return ParseTime(text);
    if (text.size() == 10) return ParseDate(text);
    if (text.size() == 19 && text[10] == ' ') {
        const auto date = ParseDate(std::string_view(text).substr(0, 10));
        const auto time = ParseTime(std::string_view(text).substr(11));
        if (date && time) return *date + *time;
        return std::nullopt;
    }
    return ParseFloat(text);  // a plain day count
}

std::string DateText(double days, TSettingType type) {
    const double whole = std::floor(days);
    const auto seconds = static_cast<long long>(std::llround((days - whole) * SecondsPerDay));
    const year_month_day date{DateZero + std::chrono::days{static_cast<long long>(whole)}};
    const std::string dateText = Format("%04d-%02u-%02u", static_cast<int>(date.year()),
                                        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    const long long clamped = std::min(seconds, 86399LL);
    const std::string timeText = Format("%02lld:%02lld:%02lld", clamped / 3600, clamped / 60 % 60, clamped % 60);
    if (type == TSettingType::stDate) return dateText;
    if (type == TSettingType::stTime) return timeText;
    return dateText + " " + timeText;
}

std::optional<std::int32_t> ToInt32(long long value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> AsDouble(const TSettingValue& value, TSettingType type) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return static_cast<double>(*i);
    if (const double* d = std::get_if<double>(&value)) return std::isfinite(*d) ? std::optional(*d) : std::nullopt;
    if (const std::string* s = std::get_if<std::string>(&value))
        return IsDateType(type) ? ParseDateText(*s, type) : ParseFloat(*s);
    return std::nullopt;
}

}  // namespace

std::optional<TSettingValue> ConvertSetting(const TSettingValue& value, TSettingType type) {
    if (IsEmpty(value)) return std::nullopt;
    switch (type) {
        case TSettingType::stBoolean: {
            if (const std::string* s = std::get_if<std::string>(&value)) {
                const auto number = ParseInteger(*s);
                if (!number) return std::nullopt;
                return TSettingValue(*number != 0);
            }
            const auto number = AsDouble(value, type);
            if (!number) return std::nullopt;
            return TSettingValue(*number != 0);
        }
        case TSettingType::stInteger: {
            if (const std::string* s = std::get_if<std::string>(&value)) {
                const auto number = ParseInteger(*s);
                const auto narrow = number ? ToInt32(*number) : std::nullopt;
                if (!narrow) return std::nullopt;
                return TSettingValue(*narrow);
            }
            const auto number = AsDouble(value, type);
            if (!number || std::fabs(*number) > 2147483647.0) return std::nullopt;
            return TSettingValue(static_cast<std::int32_t>(std::llround(*number)));
        }
        case TSettingType::stString: {
            if (const std::string* s = std::get_if<std::string>(&value)) return TSettingValue(*s);
            if (const bool* b = std::get_if<bool>(&value)) return TSettingValue(std::string(*b ? "1" : "0"));
            if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return TSettingValue(std::to_string(*i));
            return TSettingValue(FloatText(std::get<double>(value)));
        }
        default: {
            const auto number = AsDouble(value, type);
            if (!number) return std::nullopt;
            return TSettingValue(*number);
        }
    }
}

std::optional<std::string> SettingToIniText(const TSettingValue& value, TSettingType type) {
    const auto typed = ConvertSetting(value, type);
    if (!typed) return std::nullopt;
    if (const bool* b = std::get_if<bool>(&*typed)) return std::string(*b ? "1" : "0");
    if (const std::int32_t* i = std::get_if<std::int32_t>(&*typed)) return std::to_string(*i);
    if (const std::string* s = std::get_if<std::string>(&*typed)) return *s;
    const double number = std::get<double>(*typed);
    if (IsDateType(type)) return DateText(number, type);
    return FloatText(number);
}

std::optional<TSettingValue> SettingFromIniText(const std::string& text, TSettingType type) {
    if (type == TSettingType::stString) return TSettingValue(text);
    return ConvertSetting(TSettingValue(text), type);
}

// ---------------------------------------------------------------------------

TSettingItem::TSettingItem(TSettings& owner, std::string name, TSettingType type, TSettingStorage storage)
    : Owner(owner), ItemName(std::move(name)), Type(type), Where(storage) {}

void TSettingItem::Changed() { Owner.ItemChanged(*this); }

void TSettingItem::SetName(const std::string& name) {
    if (name == ItemName) return;
    ItemName = name;
    Changed();
}

void TSettingItem::SetDataType(TSettingType type) {
    if (type == Type) return;
    Type = type;
    Changed();
}

void TSettingItem::SetStorage(TSettingStorage storage) {
    if (storage == Where) return;
    Where = storage;
    Changed();
}

void TSettingItem::SetValue(const TSettingValue& value) {
    if (value == Current) return;
    Current = value;
    Changed();
}

void TSettingItem::SetValueDefault(const TSettingValue& value) {
    if (value == Default) return;
    Default = value;
    Changed();
}

// ---------------------------------------------------------------------------

TSettingItem& TSettings::Add(const std::string& name, TSettingType type, TSettingStorage storage,
                             const TSettingValue& valueDefault) {
    TSettingItem& item = Items.emplace_back(*this, name, type, storage);
    item.SetValueDefault(valueDefault);
    return item;
}

void TSettings::SetIniFileName(const std::string& name) {
    // Only the name counts: the file always lives where the program keeps it.
    std::string file = Trim(name);
    const std::size_t slash = file.find_last_of("/\\");
    if (slash != std::string::npos) file = file.substr(slash + 1);
    IniName = file.empty() ? std::string("Settings.ini") : file;
}

std::string TSettings::IniFilePath() const { return ::IniFilePath(IniName); }

void TSettings::SetApplicationKey(const std::string& key) {
    AppKey = Trim(key).empty() ? std::string("Application") : key;
}

void TSettings::SetApplicationIni(const std::string& section) {
    AppIni = Trim(section).empty() ? std::string("Application") : Trim(section);
}

std::string TSettings::RegistryKey() const { return JoinKeyPath(BaseKey, AppKey); }

TRegistryStore TSettings::Registry() const {
    return RegistryFileName.empty() ? TRegistryStore() : TRegistryStore(RegistryFileName);
}

void TSettings::ItemChanged(TSettingItem& item) {
    IsModified = true;
    if (OnChange) OnChange(item);
}

void TSettings::Load() {
    const TIniFile ini(IniFilePath());
    const TRegistryStore registry = Registry();
    const std::string key = RegistryKey();
    for (TSettingItem& item : Items) {
        std::optional<TSettingValue> value;
        if (item.Storage() == TSettingStorage::ssIniFile) {
            if (const auto text = ini.Read(AppIni, item.Name())) value = SettingFromIniText(*text, item.DataType());
        } else {
            switch (item.DataType()) {
                case TSettingType::stBoolean:
                    if (const auto number = registry.ReadInteger(RootKey, key, item.Name()))
                        value = TSettingValue(*number != 0);
                    break;
                case TSettingType::stInteger:
                    if (const auto number = registry.ReadInteger(RootKey, key, item.Name()))
                        value = TSettingValue(*number);
                    break;
                case TSettingType::stString:
                    if (const auto text = registry.ReadString(RootKey, key, item.Name()); text && !text->empty())
                        value = TSettingValue(*text);
                    break;
                default:
                    if (const auto number = registry.ReadBinaryDouble(RootKey, key, item.Name());
                        number && std::isfinite(*number))
                        value = TSettingValue(*number);
                    break;
            }
        }
        // The default is kept in the item's own type where it can be.
        if (!value) value = ConvertSetting(item.ValueDefault(), item.DataType());
        item.SetValue(value.value_or(item.ValueDefault()));
    }
}

bool TSettings::WriteRegistryItem(TRegistryStore& registry, const std::string& key, const TSettingItem& item) const {
    const auto typed = ConvertSetting(item.Value(), item.DataType());
    if (!typed) return false;
    if (const bool* b = std::get_if<bool>(&*typed)) return registry.WriteInteger(RootKey, key, item.Name(), *b ? 1 : 0);
    if (const std::int32_t* i = std::get_if<std::int32_t>(&*typed))
        return registry.WriteInteger(RootKey, key, item.Name(), *i);
    if (const std::string* s = std::get_if<std::string>(&*typed))
        return registry.WriteString(RootKey, key, item.Name(), *s);
    return registry.WriteBinaryDouble(RootKey, key, item.Name(), std::get<double>(*typed));
}

bool TSettings::Save() {
    TIniFile ini(IniFilePath());
    TRegistryStore registry = Registry();
    const std::string key = RegistryKey();
    bool allWritten = true;
    bool iniTouched = false;
    for (const TSettingItem& item : Items) {
        if (IsEmpty(item.Value())) continue;
        if (item.Storage() == TSettingStorage::ssIniFile) {
            const auto text = SettingToIniText(item.Value(), item.DataType());
            if (!text) {
                allWritten = false;
                continue;
            }
            ini.WriteString(AppIni, item.Name(), *text);
            iniTouched = true;
            continue;
        }
        allWritten = WriteRegistryItem(registry, key, item) && allWritten;
    }
    if (iniTouched && !ini.UpdateFile()) allWritten = false;
    return allWritten;
}

TSettingItem* TSettings::FindItem(const std::string& name) {
    for (TSettingItem& item : Items)
        if (SameText(item.Name(), name)) return &item;
    return nullptr;
}

const TSettingItem* TSettings::FindItem(const std::string& name) const {
    return const_cast<TSettings*>(this)->FindItem(name);
}

TSettingItem& TSettings::Item(const std::string& name) {
    TSettingItem* item = FindItem(name);
    if (!item) throw ESettingsError("undeclared setting \"" + name + "\"");
    return *item;
}

const TSettingItem& TSettings::Item(const std::string& name) const { return const_cast<TSettings*>(this)->Item(name); }

const TSettingValue& TSettings::GetValue(const std::string& name) const { return Item(name).Value(); }

void TSettings::SetValue(const std::string& name, const TSettingValue& value) { Item(name).SetValue(value); }

const TSettingValue& TSettings::GetValueDefault(const std::string& name) const { return Item(name).ValueDefault(); }

void TSettings::SetValueDefault(const std::string& name, const TSettingValue& value) {
    Item(name).SetValueDefault(value);
}

std::optional<TSettingValue> TSettings::Typed(const std::string& name, TSettingType type) const {
    const TSettingItem& item = Item(name);
    if (auto value = ConvertSetting(item.Value(), type)) return value;
    return ConvertSetting(item.ValueDefault(), type);
}

bool TSettings::GetBool(const std::string& name, bool fallback) const {
    const auto value = Typed(name, TSettingType::stBoolean);
    return value ? std::get<bool>(*value) : fallback;
}

std::int32_t TSettings::GetInteger(const std::string& name, std::int32_t fallback) const {
    const auto value = Typed(name, TSettingType::stInteger);
    return value ? std::get<std::int32_t>(*value) : fallback;
}

double TSettings::GetFloat(const std::string& name, double fallback) const {
    const auto value = Typed(name, TSettingType::stFloat);
    return value ? std::get<double>(*value) : fallback;
}

std::string TSettings::GetString(const std::string& name, const std::string& fallback) const {
    const auto value = Typed(name, TSettingType::stString);
    return value ? std::get<std::string>(*value) : fallback;
}
