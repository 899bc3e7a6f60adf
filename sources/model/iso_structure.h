// The protected part of the disc's file system: the folders and files that
// VCDImager generates for the disc type, the CD-i application and the disc
// names of the project's MPEG files. Rebuilt whenever any of them changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/iso_tree.h"

struct TIsoStructureItem {
    std::string Path;           // the MPEG file, shown as the origin
    std::int64_t DiscSize = 0;  // its estimated size on the disc
};

struct TIsoStructure {
    bool Svcd = false;             // SVCD 1.0, otherwise one of the VCD types
    bool PlaybackControl = false;  // adds the LOT and PSD files
    bool SvcdMpegav = false;       // SVCD with the MPEGAV/ENTRYSVD option
    bool CdiAvailable = false;     // the CD-i application files are shipped
    bool CdiConfigFile = false;    // and its configuration file is used
    std::string CdiFolder;         // where they are
    std::vector<TIsoStructureItem> Stills;
    std::vector<TIsoStructureItem> MotionVideos;
};

// Each generated part, removed and created anew; the page rebuilds only the
// parts that are out of date.
void BuildDiscStructure(TIsoTree& tree, const TIsoStructure& structure);  // VCD or SVCD, CDDA, EXT
void BuildCdiFolder(TIsoTree& tree, const TIsoStructure& structure);
void BuildStillsFolder(TIsoTree& tree, const TIsoStructure& structure);
void BuildMotionVideoFolder(TIsoTree& tree, const TIsoStructure& structure);
// All four, in that order.
void BuildGeneratedStructure(TIsoTree& tree, const TIsoStructure& structure);
