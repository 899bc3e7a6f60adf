// JSON string literals for the machine-readable output of the command line.
#pragma once

#include <string>
#include <string_view>

// The text as a quoted JSON string, with control characters escaped.
std::string JsonQuoted(std::string_view text);
