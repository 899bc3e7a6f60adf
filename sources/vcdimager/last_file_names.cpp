#include "vcdimager/last_file_names.h"

#include <array>
#include <mutex>

namespace {

std::mutex Guard;
std::array<std::string, 5> Names;

std::size_t Slot(TFileDialogKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

void RememberLastFileName(TFileDialogKind kind, const std::string& path) {
    const std::lock_guard lock(Guard);
    Names[Slot(kind)] = path;
}

std::string LastFileName(TFileDialogKind kind) {
    const std::lock_guard lock(Guard);
    return Names[Slot(kind)];
}

void RememberLastImageName(const std::string& path) {
    for (TFileDialogKind kind :
         {TFileDialogKind::Xml, TFileDialogKind::Bin, TFileDialogKind::Toc, TFileDialogKind::Cue})
        RememberLastFileName(kind, path);
}
