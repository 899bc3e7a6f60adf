// The cdrdao driver table: which driver suits a scanned device. Entries come
// from our "cdrdao-drivers.txt" and from the table the cdrdao package installs,
// both in cdrdao's own "R|VENDOR|MODEL|driver|options" format; a few vendor
// rules cover devices neither names.
#pragma once

#include <string>
#include <string_view>

#include "lib/text.h"

// Entries "VENDOR, MODEL|DRIVER" (upper case) of the lines of one table file.
TStringList ParseDriverTable(const TStringList& lines);

// The table the program uses: ours (program folder, then the installed data
// folder), then the cdrdao package's one when present. Read once.
const TStringList& CdrdaoDriverTable();
// The cdrdao package's table.
inline constexpr const char* SystemDriverTable = "/usr/share/cdrdao/drivers";

// The driver proposed for a device entry of the scan ("/dev/sr0: VENDOR,
// PRODUCT, REV"), upper case; empty: no proposal.
std::string ProposeDriver(const std::string& entry, const TStringList& table);
