#include "vcdimager/compliance_file_names.h"

#include "lib/text.h"

std::string ToolFileName(const std::string& name) {
    if (!StartsWith(name, "\\\\")) return name;
    return ReplaceAll(name, "\\", "/");
}
