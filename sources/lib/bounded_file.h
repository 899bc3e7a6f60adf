// Reading a whole file whose size has a sane limit: only regular files are
// read (a FIFO or a device would block or never end), and a file beyond the
// limit is refused before any of it is held in memory.
#pragma once

#include <cstdint>
#include <string>

enum class TFileReadResult { Read, Missing, NotRegular, TooLarge, Unreadable };

struct TBoundedFile {
    TFileReadResult Result = TFileReadResult::Missing;
    std::string Bytes;       // the content when Result is Read
    std::uint64_t Size = 0;  // the size found (TooLarge: at least the limit + 1)
    bool Ok() const { return Result == TFileReadResult::Read; }
};

TBoundedFile ReadBoundedFile(const std::string& path, std::uint64_t limit);

// "is not a regular file", "is too large (N bytes, at most M)" and the like.
std::string BoundedReadProblem(const TBoundedFile& file, std::uint64_t limit);
