// Folder paths compared as Windows compares them, and a move of one folder
// tree into another that exists already, which can be undone exactly.
#pragma once

#include <vector>

#include "base/RefString.h"

// The absolute form of a folder path, with a trailing backslash.
CString FullFolderPath(const CString& path);

// The absolute form with every existing folder in its long name (an 8.3
// short name such as RAVONY~1 spelled out), with a trailing backslash. The
// part of the path that does not exist yet stays as written.
CString LongFullFolderPath(const CString& path);

// True when both name the same folder: long absolute paths compared without
// regard to letter case or a trailing backslash.
bool IsSameFolder(const CString& a, const CString& b);

// True when path lies inside folder (not folder itself), compared as
// IsSameFolder compares.
bool IsInsideFolder(const CString& path, const CString& folder);

// What a merge did, paths relative to both folders, so that it can be
// undone: the folders of the source (parents first), the folders it made
// in the target, the files it moved, and the target's own files that a
// moved file would have replaced, which wait in keptFolder (a folder beside
// the target) until the merge is finished or undone.
struct FolderMergeRecord {
    std::vector<CString> folders;
    std::vector<CString> madeFolders;
    std::vector<CString> files;
    CString keptFolder; // with a trailing backslash; empty while nothing is kept
    std::vector<CString> keptFiles;
};

// Moves every file under from to the same place under to, which exists;
// folders are merged, never nested. A file of to that a file of from would
// replace is first moved aside into the record's kept folder. The emptied
// folders of from are removed. What was done is recorded, also when the
// merge stops half-way.
bool MergeFolderInto(const CString& to, const CString& from, FolderMergeRecord& record);

// The merge stays: the target's files kept aside are deleted. False when
// one of them could not be (it stays in the kept folder).
bool FinishFolderMerge(const FolderMergeRecord& record);

// What an undo could not put back (relative paths): moved files still
// under the target, and the target's own files still in the kept folder.
struct FolderMergeLeftovers {
    std::vector<CString> inTarget;
    std::vector<CString> kept;
    bool IsEmpty() const { return inTarget.empty() && kept.empty(); }
};

// Undoes a merge: the source folders are made again, the moved files go
// back, the target's kept files return to their places, and the folders the
// merge made are removed. A file is never put over another one. False when
// something could not be put back; left tells what is where.
bool UndoFolderMerge(const CString& to, const CString& from, const FolderMergeRecord& record,
                     FolderMergeLeftovers& left);

// For the user: each file a failed undo left out of place, where it is and
// where it belongs.
CString FolderMergeLeftoversText(const CString& to, const CString& from, const FolderMergeRecord& record,
                                 const FolderMergeLeftovers& left);
