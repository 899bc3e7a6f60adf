// Whether a process has ended, for tests that check that nothing is left running.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

// Gone, or a zombie that nobody reaps (an orphan in a container without init).
inline bool ProcessGone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return true;
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}
