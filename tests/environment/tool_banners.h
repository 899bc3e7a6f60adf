// Version banners of the external tools as they print them. The 2.0.1, 1.2.4
// and 2.1.0 banners were recorded from the tools installed here; the older
// ones follow the same programs' output forms.
#pragma once

#include "lib/text.h"

namespace banners {

inline const TStringList VcdxBuild0711{
    "vcdxbuild (GNU VCDImager) 0.7.11 [i686-pc-cygwin]",
    "",
    "Copyright (c) 2000-2001 Herbert Valerio Riedel <hvr@gnu.org>",
    "",
    "GNU VCDImager may be distributed under the terms of the GNU General Public Licence;",
};

inline const TStringList VcdxBuild0712{
    "vcdxbuild (GNU VCDImager) 0.7.12",
    "Written by Herbert Valerio Riedel and Rocky Bernstein.",
    "",
    "http://www.gnu.org/software/vcdimager/",
    "",
    "Copyright (C) 2000-2002 Herbert Valerio Riedel <hvr@gnu.org>",
};

inline const TStringList VcdxBuild201{
    "vcdxbuild (GNU VCDImager) 2.0.1",
    "Written by Herbert Valerio Riedel and Rocky Bernstein.",
    "",
    "http://www.gnu.org/software/vcdimager/",
    "",
    "Copyright (C) 2000-2003 Herbert Valerio Riedel <hvr@gnu.org>",
    "                   2003 Rocky Bernstein <rocky@gnu.org>",
    "",
    "This is free software; see the source for copying conditions.  There is NO",
    "warranty; not even for MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.",
};

inline TStringList Cdrdao(const std::string& version, bool withWarning) {
    TStringList lines{"Cdrdao version " + version + " - (C) Andreas Mueller <andreas@daneb.de>"};
    if (withWarning) lines.push_back("WARNING: no ASPI manager found, drives cannot be reached");
    for (const char* line : {"  SCSI interface library - (C) Joerg Schilling", "  Paranoia DAE library - (C) Monty", "",
                             "Usage: cdrdao <command> [options] [toc-file]", "command:",
                             "  show-toc   - prints out toc and exits", "Cdrdao version 9.9.9 - not a banner line"})
        lines.push_back(line);
    return lines;
}

inline const TStringList Cdrdao124{
    "Cdrdao version 1.2.4 - (C) Andreas Mueller <andreas@daneb.de>",
    "",
    "Usage: cdrdao <command> [options] [toc-file]",
    "command:",
    "  show-toc   - prints out toc and exits",
    "  scanbus    - scan for devices",
    "",
    " Try 'cdrdao <command> -h' to get a list of available options",
};

inline const TStringList Mplex160Beta1{
    "mplex: unknown option -- ?",
    "mjpegtools mplex version 1.6.0-beta1",
    "Usage: mplex [params] -o <output filename pattern> <input file>... ",
    "         %d in the output file name is by segment count",
};

inline const TStringList Mplex162{
    "mplex: unknown option -- ?",
    "mjpegtools mplex version 1.6.2 (2.2.3)",
    "Usage: mplex [params] -o <output filename pattern> <input file>... ",
};

inline const TStringList Mplex210{
    "mplex: invalid option -- '?'",
    "mjpegtools mplex-2 version 2.1.0 (2.2.7)",
    "Usage: mplex [params] -o <output filename pattern> <input file>... ",
    "         %d in the output file name is by segment count",
    "  where possible params are:",
};

}  // namespace banners
