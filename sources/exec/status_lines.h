// The one-line elements that commands emit instead of plain text:
//   <log level="information">text</log>
//   <guiprogress message="text" position="42" />
// Texts are written as they are; they never hold a double quote.
#pragma once

#include <string>
#include <string_view>

namespace LogLevel {
inline constexpr const char* Information = "information";
inline constexpr const char* Warning = "warning";
inline constexpr const char* Error = "error";
inline constexpr const char* Debug = "debug";
inline constexpr const char* Assertion = "assertion";
inline constexpr const char* Unknown = "unknown";
}  // namespace LogLevel

std::string MakeLogStatusLine(std::string_view level, std::string_view text);
std::string MakeProgressStatusLine(std::string_view message, int position);

// The line starts with "<" + tag followed by ">" or a blank.
bool IsElement(std::string_view line, std::string_view tag);
// The trimmed value of ` name="…"` (name without regard to case); empty when absent.
std::string AttributeValue(std::string_view line, std::string_view name);
// The text between <log …> and </log>, trimmed.
std::string LogElementText(std::string_view line);
