// The settings codec. Key names and values in the program's INI files are
// stored scrambled: the text is taken in the ANSI code page and written three
// bytes to four symbols of the program's own 64-symbol alphabet, a short last
// group padded with "0". Section names stay plain.
#pragma once

#include "base/RefString.h"

#include <string>
#include <vector>

// Encodes length bytes into symbols (NUL-terminated in out); returns the
// number of symbols, 0 for an empty input, or -1 when out cannot be grown.
int EncodeConfigBytes(const unsigned char* bytes, int length, std::string& out);

// Decodes a symbol text into out, which must hold three bytes for every four
// symbols. Returns the number of bytes written, or -1 at a malformed group
// (the bytes written before it stay in out).
int DecodeConfigBytes(const char* symbols, unsigned char* out);

// The same over wide strings, through the thread's ANSI code page.
int EncodeConfigText(const CString& text, CString& out);
int DecodeConfigText(const CString& text, CString& out);

// Writes key = value under a plain section, both scrambled; 0 when the key or
// the value is empty (nothing is written), else 1 when written and 0 when
// not. The file is rewritten whole (see WriteConfigValues).
int WriteConfigValue(CString section, CString key, CString value, CString file);

// One value of a batch.
struct ConfigEntry {
    CString section;
    CString key;
    CString value;
};

// Writes every entry, in order, as WriteConfigValue does each, in one
// rewrite of the file: the file holds either all of them or none, whatever
// fails and wherever the process is stopped. The new contents are what
// WritePrivateProfileStringW makes of the file (same layout, order and
// encoding); they are made in a copy beside it and put in its place in one
// step. Returns 1 when all were written; 0, file unchanged, when a key or a
// value is empty or a step fails. A missing file is created when its folder
// exists.
int WriteConfigValues(const std::vector<ConfigEntry>& entries, const CString& file);

// Clears, as the program starts, the copy and the temporary file that a
// write of the file stopped by a kill left beside it, so that they never
// stand in the way of the next write. True when both names are free.
bool ClearStaleConfigCopies(const CString& file);

// Reads a scrambled value. An absent key gives the default plain. Returns 1
// when a value or the default was produced, else 0 with out unchanged.
// size is the character capacity of the read, at most 260.
int ReadConfigValue(const CString& section, const CString& key, const CString& file,
                    const CString& defaultValue, DWORD size, CString& out);
