#include "settings/language.h"

std::string Translate(const std::string& text) { return text; }
