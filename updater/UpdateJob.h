// The updater's record of one update: where the package comes from and where
// everything goes.
#pragma once

#include "base/RefString.h"

struct CUpdateJob {
    // folder: the updater's own folder with a trailing backslash.
    CUpdateJob(const CString& folder, const CString& digest);

    CString m_strPackageName;   // "Tessaly.zip"
    CString m_strProgramFolder; // ends with "\"
    CString m_strWorkFolder;    // program folder + "Temp\"
    CString m_strExpectedMd5;   // as the command line gave it

    // work folder + package name
    CString PackagePath() const { return m_strWorkFolder + m_strPackageName; }
    // work folder + "TessalyUpdate\": the unpacked package.
    CString UnpackFolder() const { return m_strWorkFolder + L"TessalyUpdate\\"; }
};
