// The folder move on its own, for the kill sweep: the test build's step hook
// (tools/uplarkhook) ends it just before any one of its changes to the
// disk, as a kill would.
//   folder_move_probe move PROGRAM_DIR OLD_PATH NEW_PATH
//       prepares and runs the move as the settings dialog does; the exit
//       code is the outcome (0 moved, 1 move failed, 2 Path not written,
//       3 refused beforehand)
//   folder_move_probe recover PROGRAM_DIR
//       what the next start does; 0 when no note is left, else 1
#include <windows.h>

#include <cwchar>

#include "app/dialogs/FolderMove.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && std::wcscmp(argv[1], L"move") == 0) {
        CFolderMove move(argv[2]);
        CString report;
        if (!move.Recover(report) || move.Prepare(argv[3], argv[4]) != CFolderMove::Prepared::Ready)
            return 3;
        switch (move.Run()) {
        case CFolderMove::Outcome::Moved:
            return 0;
        case CFolderMove::Outcome::MoveFailed:
            return 1;
        case CFolderMove::Outcome::PathNotWritten:
            return 2;
        }
    }
    if (argc == 3 && std::wcscmp(argv[1], L"recover") == 0) {
        CFolderMove move(argv[2]);
        CString report;
        return move.Recover(report) ? 0 : 1;
    }
    return 64;
}
