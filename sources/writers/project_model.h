// A project read back from its file into the model: the MPEG files list with
// its entry points and selections, the ISO tree's user items and the values
// of the properties record that the pages show.
#pragma once

#include "lib/text.h"
#include "model/vcd_properties.h"
#include "writers/video_cd_description.h"

class TIsoTree;
class TMpegFiles;

struct TProjectLoadReport {
    TStringList MissingFiles;  // MPEG files no longer on the disk: left out
    TStringList ChangedFiles;  // MPEG files whose size or fingerprint changed since the save
};

// The record's values from the description (references and lines untouched).
void PropertiesFromDescription(const TVideoCdDescription& description, TVcdProperties& properties);

// The description's values outside the limits of the model, one message each.
TStringList DescriptionLimitProblems(const TVideoCdDescription& description);

// Replaces the list's files by those of the description, with their entry
// points and the saved state of every selection.
TProjectLoadReport FilesFromDescription(const TVideoCdDescription& description, TMpegFiles& files);

// Sets the saved state of every selection; `flat` holds the selections of all
// entries of all files in the description's order (null where one is missing).
void ApplySelectionStates(const TVideoCdDescription& description, const std::vector<TPbcSelection*>& flat);

// Adds the user's folders and files of the description to the tree (the
// generated folders are the page's to rebuild).
void IsoTreeFromDescription(const std::vector<TFileSystemItem>& items, TIsoTree& tree);
