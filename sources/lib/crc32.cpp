#include "lib/crc32.h"

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "lib/text.h"

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1u) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        table[i] = value;
    }
    return table;
}

constexpr auto Table = MakeTable();

}  // namespace

std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t previous) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t crc = ~previous;
    for (std::size_t i = 0; i < size; ++i) crc = Table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Crc32(std::string_view data, std::uint32_t previous) { return Crc32(data.data(), data.size(), previous); }

std::string Crc32Text(std::uint32_t crc) { return Format("%08X", crc); }

std::optional<std::uint32_t> FileHeadCrc32(const std::string& path, std::size_t limit) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::vector<unsigned char> head(limit);
    const std::size_t read = std::fread(head.data(), 1, limit, file.get());
    if (std::ferror(file.get())) return std::nullopt;
    return Crc32(head.data(), read);
}
