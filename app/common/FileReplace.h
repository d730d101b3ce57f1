// Rewriting a whole file so that a failed write, a full disk or a kill at
// any moment leaves either the old file or the complete new one.
#pragma once

#include "base/RefString.h"

#include <cstdio>
#include <functional>
#include <string>

// Writes the new contents through write (a text-mode stream on a temporary
// file in path's folder), flushes them to the disk and puts the file in
// path's place in one step. False when any step fails, write returning false
// among them: path is then as it was, and the temporary file is gone.
bool ReplaceFileContents(const CString& path, const std::function<bool(std::FILE*)>& write);

// The same for contents already in memory, written byte for byte.
bool ReplaceFileBytes(const CString& path, const std::string& bytes);

// The temporary file ReplaceFileContents writes for path. One at a time:
// while one is being written, a second rewrite of the same path fails. A
// read-only one that a kill left is made writable and written over.
CString ReplacementFilePath(const CString& path);

// Removes the temporary file a rewrite of path left behind when it was cut
// short (by a kill or a crash), as the program starts, before anything
// rewrites path: also one that is read-only or held open by someone who
// lets it be deleted. A folder of that name is removed when empty, else
// renamed aside; a link goes only as a link. True when the name is free.
bool ClearStaleReplacement(const CString& path);

// The same for any temporary file of ours that a cut-short write may have
// left at that name.
bool ClearLeftover(const CString& temporary);

// A rewrite of path could put its new file in place now: no folder takes
// its temporary file's name, and no one holds path in a way that keeps it
// from being replaced. Lets a caller leave things as they are when a
// rewrite surely would fail.
bool CanReplaceFile(const CString& path);
