// The program's names and version, as shown to the user.
#pragma once

inline constexpr const char* ProductName = "Lumora";
inline constexpr const char* ProductVersion = LUMORA_VERSION;
