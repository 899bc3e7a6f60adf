// JSON string literals for the machine-readable output of the command line.
#pragma once

#include <string>
#include <string_view>

// The text as a quoted JSON string, with control characters escaped; bytes
// that are not UTF-8 (a file name in another encoding) become U+FFFD.
std::string JsonQuoted(std::string_view text);
