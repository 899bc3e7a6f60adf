#include "lib/registry_store.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <limits>

#include "lib/ini_file.h"
#include "lib/text.h"
#include "platform/folders.h"

namespace {

constexpr std::string_view IntegerPrefix = "dword:";
constexpr std::string_view StringPrefix = "sz:";
constexpr std::string_view BinaryPrefix = "hex:";

std::string TrimDelimiters(std::string_view text) {
    std::string key = Trim(text);
    while (!key.empty() && key.front() == '\\') key.erase(key.begin());
    while (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

std::string Section(TRootKeys root, std::string_view key) { return JoinKeyPath(RootKeyName(root), key); }

std::string HexBytes(const std::array<unsigned char, 8>& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string RootKeyName(TRootKeys root) {
    switch (root) {
        case TRootKeys::rkHKEY_CLASSES_ROOT:
            return "HKEY_CLASSES_ROOT";
        case TRootKeys::rkHKEY_CURRENT_USER:
            return "HKEY_CURRENT_USER";
        case TRootKeys::rkHKEY_LOCAL_MACHINE:
            return "HKEY_LOCAL_MACHINE";
        case TRootKeys::rkHKEY_USERS:
            return "HKEY_USERS";
        case TRootKeys::rkHKEY_PERFORMANCE_DATA:
            return "HKEY_PERFORMANCE_DATA";
        case TRootKeys::rkHKEY_CURRENT_CONFIG:
            return "HKEY_CURRENT_CONFIG";
        case TRootKeys::rkHKEY_DYN_DATA:
            return "HKEY_DYN_DATA";
    }
    return "HKEY_CURRENT_USER";
}

std::string JoinKeyPath(std::string_view base, std::string_view sub) {
    const std::string first = TrimDelimiters(base);
    const std::string second = TrimDelimiters(sub);
    if (first.empty()) return second;
    if (second.empty()) return first;
    return first + "\\" + second;
}

TRegistryStore::TRegistryStore() : Path(RegistryFilePath()) {}

TRegistryStore::TRegistryStore(std::string filePath) : Path(std::move(filePath)) {}

bool TRegistryStore::KeyExists(TRootKeys root, std::string_view key) const {
    if (root == TRootKeys::rkHKEY_LOCAL_MACHINE) return false;
    return TIniFile(Path).SectionExists(Section(root, key));
}

std::optional<std::string> TRegistryStore::ReadRaw(TRootKeys root, std::string_view key, std::string_view name,
                                                   std::string_view prefix) const {
    if (root == TRootKeys::rkHKEY_LOCAL_MACHINE) return std::nullopt;
    const auto value = TIniFile(Path).Read(Section(root, key), name);
    if (!value || !value->starts_with(prefix)) return std::nullopt;
    return value->substr(prefix.size());
}

std::optional<std::int32_t> TRegistryStore::ReadInteger(TRootKeys root, std::string_view key,
                                                        std::string_view name) const {
    const auto text = ReadRaw(root, key, name, IntegerPrefix);
    if (!text) return std::nullopt;
    const auto value = ParseInteger(*text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::string> TRegistryStore::ReadString(TRootKeys root, std::string_view key,
                                                      std::string_view name) const {
    return ReadRaw(root, key, name, StringPrefix);
}

std::optional<double> TRegistryStore::ReadBinaryDouble(TRootKeys root, std::string_view key,
                                                       std::string_view name) const {
    const auto text = ReadRaw(root, key, name, BinaryPrefix);
    if (!text || text->size() != 16) return std::nullopt;
    std::array<unsigned char, 8> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit((*text)[2 * i]);
        const int low = HexDigit((*text)[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    // Stored little-endian, as the binary values of the other builds are.
    if constexpr (std::endian::native == std::endian::big) std::reverse(bytes.begin(), bytes.end());
    return std::bit_cast<double>(bytes);
}

bool TRegistryStore::WriteRaw(TRootKeys root, std::string_view key, std::string_view name, const std::string& encoded) {
    if (root == TRootKeys::rkHKEY_LOCAL_MACHINE || Trim(name).empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path(), ignored);
    TIniFile file(Path);
    file.WriteString(Section(root, key), name, encoded);
    return file.UpdateFile();
}

bool TRegistryStore::WriteInteger(TRootKeys root, std::string_view key, std::string_view name, std::int32_t value) {
    return WriteRaw(root, key, name, std::string(IntegerPrefix) + std::to_string(value));
}

bool TRegistryStore::WriteString(TRootKeys root, std::string_view key, std::string_view name, std::string_view value) {
    return WriteRaw(root, key, name, std::string(StringPrefix) + std::string(value));
}

bool TRegistryStore::WriteBinaryDouble(TRootKeys root, std::string_view key, std::string_view name, double value) {
    auto bytes = std::bit_cast<std::array<unsigned char, 8>>(value);
    if constexpr (std::endian::native == std::endian::big) std::reverse(bytes.begin(), bytes.end());
    return WriteRaw(root, key, name, std::string(BinaryPrefix) + HexBytes(bytes));
}

bool TRegistryStore::DeleteKey(TRootKeys root, std::string_view key) {
    if (root == TRootKeys::rkHKEY_LOCAL_MACHINE) return false;
    // The key goes with all its sub keys.
    const std::string section = Section(root, key);
    TIniFile file(Path);
    bool found = false;
    for (const std::string& name : file.ReadSections()) {
        if (SameText(name, section) || StartsText(name, section + "\\")) {
            file.EraseSection(name);
            found = true;
        }
    }
    return !found || file.UpdateFile();
}
