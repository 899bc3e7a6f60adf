// The registry of the settings, kept as a small file: one section per key path
// (root name + "\" + key), one typed value per entry. Key paths and value names
// are found without regard to case. HKEY_LOCAL_MACHINE holds nothing here: its
// reads find nothing and its writes fail.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TRootKeys {
    rkHKEY_CLASSES_ROOT,
    rkHKEY_CURRENT_USER,
    rkHKEY_LOCAL_MACHINE,
    rkHKEY_USERS,
    rkHKEY_PERFORMANCE_DATA,
    rkHKEY_CURRENT_CONFIG,
    rkHKEY_DYN_DATA
};

// "HKEY_CURRENT_USER" and the like.
std::string RootKeyName(TRootKeys root);

class TRegistryStore {
public:
    // The store of the current user (platform registry file).
    TRegistryStore();
    explicit TRegistryStore(std::string filePath);

    const std::string& FileName() const { return Path; }

    bool KeyExists(TRootKeys root, std::string_view key) const;
    // Each read finds nothing when the value is missing or of another type.
    std::optional<std::int32_t> ReadInteger(TRootKeys root, std::string_view key, std::string_view name) const;
    std::optional<std::string> ReadString(TRootKeys root, std::string_view key, std::string_view name) const;
    std::optional<double> ReadBinaryDouble(TRootKeys root, std::string_view key, std::string_view name) const;

    // Each write creates the key when missing and replaces the file at once;
    // false when it could not be stored.
    bool WriteInteger(TRootKeys root, std::string_view key, std::string_view name, std::int32_t value);
    bool WriteString(TRootKeys root, std::string_view key, std::string_view name, std::string_view value);
    bool WriteBinaryDouble(TRootKeys root, std::string_view key, std::string_view name, double value);
    bool DeleteKey(TRootKeys root, std::string_view key);

private:
    std::string Path;

    std::optional<std::string> ReadRaw(TRootKeys root, std::string_view key, std::string_view name,
                                       std::string_view prefix) const;
    bool WriteRaw(TRootKeys root, std::string_view key, std::string_view name, const std::string& encoded);
};

// "A\B" from a base and a sub key, either of which may be empty; surrounding
// blanks and delimiters are dropped.
std::string JoinKeyPath(std::string_view base, std::string_view sub);
