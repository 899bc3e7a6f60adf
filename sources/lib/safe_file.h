// Whole-file writes that never leave a half-written file behind: the bytes go
// to a temporary file beside the target, are flushed to the disk, and only
// then replace the target in one rename. A failed write keeps the old file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Returns false on any failure; `error`, when given, receives a short reason.
bool SaveFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
