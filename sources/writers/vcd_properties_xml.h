// The writer's entry point for the project itself: the properties record of a
// generation or save, with the MPEG files list and the ISO tree it refers to.
#pragma once

#include "model/vcd_properties.h"
#include "writers/video_cd_description.h"

// Everything the description carries, from the record and the objects it
// refers to. Gives every selection of the project its SelectionId.
TVideoCdDescription DescriptionFromProperties(const TVcdProperties& properties);

// Fills the record's lines with the description (plain for vcdxbuild, or the
// project form). A null record does nothing.
void WriteVideoCdXml(TVcdProperties* properties, bool projectMode);
