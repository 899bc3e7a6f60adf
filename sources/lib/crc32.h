// CRC-32 as zip computes it (reflected polynomial 0xEDB88320, all-ones start,
// final complement), and the file fingerprint built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Continues a running CRC: pass the previous result to checksum data in pieces.
std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t previous = 0);
std::uint32_t Crc32(std::string_view data, std::uint32_t previous = 0);

// Eight upper-case hexadecimal digits.
std::string Crc32Text(std::uint32_t crc);

// CRC-32 of at most the first `limit` bytes of a file; nothing when the file
// cannot be read.
inline constexpr std::size_t FileHeadCrcLimit = 65536;
std::optional<std::uint32_t> FileHeadCrc32(const std::string& path, std::size_t limit = FileHeadCrcLimit);
