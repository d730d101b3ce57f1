// The product version text of a file's version resource.
#pragma once

#include "base/RefString.h"

// Reads the file's version resource and its ProductVersion into out. True
// once the resource was read, also when it holds no ProductVersion (out is
// then left as it was); false for a file without one.
bool GetFileProductVersion(const CString& path, CString& out);

// Copies the ProductVersion of the first language of a version resource into
// out (at most capacity - 1 characters and a NUL); false when there is none.
bool QueryProductVersion(const void* versionInfo, wchar_t* out, size_t capacity);
