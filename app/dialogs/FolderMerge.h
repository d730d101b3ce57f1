// Folder paths compared as Windows compares them, and a move of one folder
// tree into another that exists already, which can be undone.
#pragma once

#include <vector>

#include "base/RefString.h"

// The absolute form of a folder path, with a trailing backslash.
CString FullFolderPath(const CString& path);

// True when both name the same folder: absolute paths compared without
// regard to letter case or a trailing backslash.
bool IsSameFolder(const CString& a, const CString& b);

// True when path lies inside folder (not folder itself).
bool IsInsideFolder(const CString& path, const CString& folder);

// What a merge did, paths relative to both folders, so that it can be
// undone: the folders of the source (parents first), the folders it made
// in the target, and the files it moved.
struct FolderMergeRecord {
    std::vector<CString> folders;
    std::vector<CString> madeFolders;
    std::vector<CString> files;
};

// Moves every file under from to the same place under to, which exists;
// files of from replace those of to, folders are merged, never nested. The
// emptied folders of from are removed. What was done is recorded, also
// when the merge stops half-way.
bool MergeFolderInto(const CString& to, const CString& from, FolderMergeRecord& record);

// Undoes a merge: the source folders are made again, the moved files go
// back, and the folders the merge made in to are removed. False when a
// file could not be moved back.
bool UndoFolderMerge(const CString& to, const CString& from, const FolderMergeRecord& record);
