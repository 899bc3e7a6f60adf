// What the detail list beside the ISO tree shows for the selected node, and
// the size texts of the ISO files page.
#pragma once

#include <cstdint>
#include <string>

#include "lib/text.h"
#include "model/iso_tree.h"

// The column captions of the detail list, in order.
const TStringList& IsoDetailColumns();
// One row for the node: for the root the title and the two totals.
TStringList IsoDetailRow(const TIsoTree& tree, const TIsoTreeNode& node);
// The check box (stored in 2336-byte sectors) is offered only for such files.
bool IsoDetailHasMixedBox(const TIsoTreeNode& node);

// "999 bytes", "1.50 KB" above 1000 bytes, "2.25 MB" above 100 KB.
std::string IsoSizeText(std::int64_t size);
// "Approximate ISO File System size:  …" for the page's label.
std::string ApproximateIsoSizeText(std::int64_t cdSize);
// A DOS date and time as "YYYY-MM-DD HH:MM:SS".
std::string DosTimeText(std::int32_t dosTime);
