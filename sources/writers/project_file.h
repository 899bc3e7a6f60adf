// Project files (".dsv"): the VideoCD description in project mode wrapped with
// the main window's options, closed by an integrity line and by default
// scrambled; and the reader that turns such a file back into a description.
#pragma once

#include <string>
#include <string_view>

#include "writers/video_cd_description.h"

inline constexpr std::string_view ProjectFileExtension = "dsv";

// Writes the project; the old file stays intact when anything fails.
bool SaveProjectFile(const std::string& path, const TVideoCdDescription& project, bool scrambled,
                     std::string* error = nullptr);

class TProjectFileReader {
public:
    // Reads a plain or scrambled project file. Throws ELoadProjectError with a
    // message that names the file, the line and what is wrong.
    TVideoCdDescription Read(const std::string& path) const;
    // The same on the bytes of a file; `name` is used in the messages.
    TVideoCdDescription ReadBytes(std::string_view bytes, const std::string& name) const;
};
