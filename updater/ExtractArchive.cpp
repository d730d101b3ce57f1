#include "updater/ExtractArchive.h"

#include "app/common/UnpackArchive.h"

bool ExtractArchive(const CString& package, const CString& folder)
{
    // The main program's unpacking: the same command line, process and
    // messages; the update package has no password.
    return UnpackArchive(package, folder, CString());
}
