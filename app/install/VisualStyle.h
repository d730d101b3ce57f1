// The visual style of Windows: which one is in use, and setting one through
// uxtheme's unnamed entry.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// The visual-style file in use, as uxtheme's GetCurrentThemeName gives it;
// false when it cannot be read.
bool CurrentThemeFile(CString& file);
// Where the theme code asks which visual style is in use.
using CurrentThemeFileReader = bool (*)(CString& file);

// Sets the visual-style file (with "NormalColor", "NormalSize") through the
// system's uxtheme.dll. False when the library or its entry is missing.
bool SetVisualStyle(const CString& file);
// The same through the given library: its export with ordinal 65 is called
// only when that export has no name. On Windows the visual-style setter is
// exported by ordinal alone; a named export at that ordinal is some other
// function, which would be called with the wrong arguments.
bool SetVisualStyleThrough(const CString& library, const CString& file);

// True when the module exports the ordinal and no name leads to it.
bool IsUnnamedExport(HMODULE module, WORD ordinal);
