// One updater-package job of the update check: fetch the package from the
// download server's "update/" folder, check its MD5, unpack it into a
// folder of its own under the work folder, and put the one target file in
// place in the program folder once that file is free.
#pragma once

#include "base/RefString.h"

class CUpdatePackage {
public:
    // Target, package and MD5 empty; the work folder is the program
    // folder's "Temp\". downloadSite ends with "/".
    explicit CUpdatePackage(const CString& programFolder);
    CUpdatePackage(const CString& programFolder, const CString& downloadSite);

    // 1 when the package was downloaded, matched the MD5 and was unpacked,
    // else 0 after ten tries (or sooner when the program is quitting). A
    // package whose target is no whole program of this machine with a
    // version resource gives 0 at once, its files deleted.
    int Download();
    // Waits until the target can be replaced, then replaces it with the
    // unpacked file (in one step where the system allows), and clears away the package and the
    // unpacked files. The wait ends when the program is quitting, leaving
    // the target as it was. True when the target was replaced.
    bool Install();
    // 1 when the target in the program folder is absent or can be opened
    // for reading and writing.
    int IsTargetWritable() const;

    // Where the package is unpacked: emptied before each unpacking.
    CString UnpackFolder() const;

    CString m_strTarget;  // "Uplark.exe"
    CString m_strPackage; // "Uplark.zip"
    CString m_strMd5;     // 32 lower-case hex digits
    CString m_strAppDir;  // ends with "\"
    CString m_strWorkDir; // m_strAppDir + "Temp\"
    CString m_strDownloadSite;

private:
    bool UnpackIntoEmptyFolder(const CString& package) const;
    bool TargetIsWhole() const;
    void RemoveWorkFiles() const;
};
