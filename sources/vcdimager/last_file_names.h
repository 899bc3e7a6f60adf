// The names that the file dialogs propose next: a successful command remembers
// the file it produced or read, and the dialogs start from it.
#pragma once

#include <string>

enum class TFileDialogKind { Xml, Bin, Toc, Cue, Mpeg };

void RememberLastFileName(TFileDialogKind kind, const std::string& path);
// Empty when nothing was remembered.
std::string LastFileName(TFileDialogKind kind);
// The image dialogs (XML, BIN, TOC and CUE) all start from the same name.
void RememberLastImageName(const std::string& path);
