// The name of the running Windows version.
#pragma once

#include "base/RefString.h"

// The Windows version numbers, stored by WindowsVersionName; the theme code
// chooses its way by them.
extern int g_nOsMajorVersion;
extern int g_nOsMinorVersion;

// Sets out to the name of the running Windows ("Windows 7", ...), "" for a
// version it does not know, and stores the version numbers.
CString& WindowsVersionName(CString& out);

// What the name is chosen by.
struct WindowsVersionFacts {
    DWORD major;
    DWORD minor;
    DWORD platformId;
    BYTE productType;
    WORD processorArchitecture;
    bool serverR2;
};
CString NameWindowsVersion(const WindowsVersionFacts& facts);
