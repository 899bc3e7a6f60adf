// The program's translation function: every user-visible text goes through
// Translate, looked up by its English text.
#pragma once

#include <string>

std::string Translate(const std::string& text);
