// Folder paths as Windows resolves them, and folders compared by what they
// are on the disk rather than by how they are written.
#pragma once

#include "base/RefString.h"

// The path with one trailing backslash, and without it.
CString WithSlash(const CString& path);
CString WithoutSlash(const CString& path);

// The absolute form of a folder path, with a trailing backslash.
CString FullFolderPath(const CString& path);

// True when both name the same folder. Existing folders are compared by
// their volume and file index, so that an 8.3 name, another letter case or
// another drive letter for the same disk make no difference; a folder that
// does not exist is compared by its absolute path, without regard to letter
// case or a trailing backslash.
bool IsSameFolder(const CString& a, const CString& b);

// True when path lies inside folder (not folder itself): one of the folders
// on path's way is folder, compared as IsSameFolder compares.
bool IsInsideFolder(const CString& path, const CString& folder);
