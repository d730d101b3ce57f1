// The extractor's exit codes, the ones its callers tell apart.
#pragma once

enum ExitCode : int {
    kExitSuccess = 0,
    kExitWriteError = 1, // a target file or folder could not be written
    kExitFatalError = 2, // damaged archive, wrong password, CRC error, refused entry
    kExitBadCommandLine = 7,
    kExitOutOfMemory = 8,
};
