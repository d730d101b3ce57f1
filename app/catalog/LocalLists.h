// The two local item lists, "Data\MyThemes.xml" (themes) and
// "Data\MyImages.xml" (wallpapers), under the program folder. Each call
// opens the file anew, does one thing and saves at once. Only the paging
// reads keep the list's records, for as long as neither this program nor
// anyone else has written the file since they were read.
//
// Every load-change-save of one file runs under that file's lock, so a
// worker thread and the UI thread never save over each other's change. No
// call here shows anything, so no lock is ever held while a box is up.
#pragma once

#include "base/RefString.h"

#include <map>
#include <string>

// The wallpaper list for kind 2, the theme list for every other kind.
CString DataListPath(int kind);

// The entry of id (the first one in document order) exists.
bool ListHasItem(int kind, const CString& id);
// The entry's child text ("file", "jsons") or attribute ("name"), in the
// ANSI code page as the lists hand texts out; false when there is no entry.
bool ReadItemFile(int kind, const CString& id, CString& file);
bool ReadItemName(int kind, const CString& id, CString& name);

bool ReadItemJsons(int kind, const CString& id, CString& jsons);

// The number of entries whose jsons holds the filter text (every entry for
// an empty filter), and the jsons texts of those numbered from..to (from 1,
// newest first), each followed by ",".
int CountListItems(int kind, const std::string& filter);
std::string CollectListTexts(int kind, int from, int to, const std::string& filter);

// Puts a new entry before the root's first child: id, name, then jsons and
// file. False, nothing written, when the list cannot be loaded.
bool AddListItem(int kind, const CString& id, const CString& name, const CString& jsons, const CString& file);
bool RemoveListItem(int kind, const CString& id);
// The list file can be written now: it is there, not read-only and held by
// no one who keeps writers out. A save may still fail later; this only
// lets a caller leave things as they are when it surely would.
bool ListIsWritable(int kind);

// The one digit after "status": of the entry's jsons.
bool SetItemStatus(int kind, const CString& id, int digit);
// Everything from "progress": up to the record's last "}" becomes
// "progress":"<percent>".
bool SetItemProgress(int kind, const CString& id, int percent);

// Every entry's id and the character after "status": in its jsons, by id
// (byte order). Entries whose jsons has no status are left out; the walk
// goes on past them.
std::map<std::string, std::string> ItemStatusMap(int kind);

// The package path an entry records, relative to the download root.
CString PackageFileText(const CString& id);
