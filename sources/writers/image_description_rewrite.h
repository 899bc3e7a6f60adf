// Adapts the CUE sheet or cdrdao TOC file that vcdxbuild wrote beside the image
// to the image type the user chose. Each operation takes the output base path
// (the image path without extension) and does nothing when it is empty or the
// file to rewrite does not exist.
#pragma once

#include <string>

// Rewrites base + ".cue": FILE paths that burning programs can open (the bare
// file name with `bareFileName`); with `minimal`, only the INDEX 00 and 01
// directives are kept and FLAGS lines go. Returns false when reading or
// writing failed; the old sheet is then intact.
bool RewriteCue(const std::string& base, bool minimal, bool bareFileName, std::string* error = nullptr);

// Rewrites base + ".toc" with forward slashes in every path.
bool RewriteToc(const std::string& base, std::string* error = nullptr);

// Deletes base + ".toc" and every base + "_*_pregap.img" file; the track images stay.
void StripToastFiles(const std::string& base);

// The short (8.3) form of a path. Such forms do not exist here: the path itself.
std::string ShortPathName(const std::string& path);
