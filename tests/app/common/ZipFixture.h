// Small .zip archives for the unpacking tests, written with minizip.
#pragma once

#include "base/RefString.h"

#include <string>
#include <utility>
#include <vector>

// Entries are (name, bytes); names use "/" and are stored in UTF-8. A
// non-empty password encrypts every entry (traditional PKWARE encryption).
void WriteZip(const CString& path, const std::vector<std::pair<std::string, std::string>>& entries,
              const std::string& password = "");
