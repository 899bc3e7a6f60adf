// The program's stored text files (project files, stored MPEG analyses): CR LF
// lines closed by an integrity comment with the CRC-32 of the text, and by
// default scrambled with a fixed key byte so that casual edits are noticed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lib/text.h"

inline constexpr unsigned char ScrambleKey = 0xA5;
inline constexpr std::string_view ScrambledHeader = "BINARY\r";
inline constexpr std::size_t ScrambledRunLength = 80;

// Each line followed by CR LF, as the files store them.
std::string LinesToText(const TStringList& lines);
// "<!-- integrity XXXXXXXX -->" over the first 65,536 bytes of the text.
std::string IntegrityLine(std::string_view text);

// Header, key-combined bytes, a CR after every 80 of them.
std::string ScrambleText(std::string_view text);
bool IsScrambled(std::string_view bytes);
// The text behind a scrambled file; other bytes are returned unchanged.
std::string UnscrambleBytes(std::string_view bytes);

// Writes the lines, an integrity line over them and, when asked, scrambles the
// whole. The old file stays intact unless the new one was written completely.
bool Strings_SaveToFile(const std::string& fileName, const TStringList& lines, bool scrambled,
                        std::string* error = nullptr);

struct TStoredText {
    TStringList Lines;          // without the integrity line
    bool HasIntegrity = false;  // an integrity line was found
    bool IntegrityOk = false;   // and its code matches the remaining text
    bool WasScrambled = false;
};

// Reads a plain or scrambled file; nothing when it cannot be read.
std::optional<TStoredText> Strings_LoadFromFile(const std::string& fileName);
// The same on bytes already in memory.
TStoredText ParseStoredText(std::string_view bytes);
