// File-name rules shared by every chooser and tool command of the program:
// names handed to the tools, input and output file checks, and the file
// dialogs with their remembered folders.
#pragma once

#include <string>
#include <vector>

class TDialogs;

// A network share name ("\\server\...") with forward slashes; others unchanged.
std::string ToolFileName(const std::string& name);
