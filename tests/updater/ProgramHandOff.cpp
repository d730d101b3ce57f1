// The main program's own part of an update, run alone, with the test
// build's step hook (tools/uplarkhook) linked in, so that a test ends it
// before any one of its changes to the files as a kill would:
//
//   updater_hand_off start <program folder>
//       what the program's start does: the updater set aside comes back, a
//       noted update is handed to the updater;
//   updater_hand_off check <program folder> <site> <own version>
//       the silent update check against <site> (content and download
//       server), with [Update] AutoUpdate "1": the updater is brought up to
//       date by its swap, then started with the main update.
//
// Either waits for the updater it started, so that a test sees one end.
// The updater itself runs without the hook's stop and log.
#include "app/startup/CorvaneModule.h"
#include "app/update/UpdateCheck.h"
#include "app/update/UpdaterStart.h"
#include "base/Handle.h"
#include "tools/uplarkhook/StepHook.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

namespace {

constexpr DWORD kPatience = 120000;

// Waits for every process this one started.
void WaitForStartedProcesses()
{
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId())
            continue;
        CHandle child(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (child)
            WaitForSingleObject(child, kPatience);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Read by this program's hook already; the updater it starts runs whole.
    SetEnvironmentVariableW(kUplarkStopAtVariable, nullptr);
    SetEnvironmentVariableW(kUplarkStepLogVariable, nullptr);

    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 3)
        return 2;
    const CString mode = arguments[1];
    CString folder = arguments[2];
    if (folder.Right(1) != L"\\")
        folder += L"\\";
    if (mode == L"start") {
        CHandle updater = ResumeUpdateAtStart(folder);
        if (updater)
            WaitForSingleObject(updater, kPatience);
    } else if (mode == L"check" && count >= 5) {
        _Module.m_strAppDir = folder;
        _Module.m_strVersion = arguments[4];
        const UpdateServers servers{arguments[3], arguments[3]};
        CheckForUpdate(kUpdateCheckSilent, servers);
        WaitForStartedProcesses();
    } else {
        return 2;
    }
    LocalFree(arguments);
    return 0;
}
