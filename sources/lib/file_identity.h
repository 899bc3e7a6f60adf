// Whether two names reach one file. Linux names are case-sensitive, and one
// file may have several names (hard and symbolic links): an existing file is
// known by its device and inode, a name that does not exist yet by its path.
#pragma once

#include <string>

bool SameFile(const std::string& first, const std::string& second);
