// A probe program that repeats one piece of work until it is killed: the
// test starts it, lets it work for a while after its first piece is done,
// and kills it, to see what a kill at that moment leaves. The probe learns
// its files and the name of its event from the environment.
#pragma once

#include <windows.h>

#include "base/StartProcess.h"

#include "base/RefString.h"

// A program in the folder of the running test program.
inline CString ProgramBesideThisOne(const wchar_t* name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const CString path = self;
    return path.Left(path.ReverseFind(L'\\') + 1) + name;
}

// Starts the probe, waits until it sets done (its first piece of work is
// done), lets it go on for delayMs and kills it. False when it could not be
// started, ended or never set done within two minutes (it is killed then
// too), or had not ended 30 s after the kill.
inline bool KillProbeAfterItsFirstWork(const CString& probe, HANDLE done, DWORD delayMs)
{
    ResetEvent(done); // the last probe may have set it again before it was killed
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    CString command = L"\"" + probe + L"\"";
    const BOOL started = StartProcess(probe, command.GetBuffer(command.GetLength()), nullptr, nullptr, FALSE,
                                      0, nullptr, nullptr, &startup, &process);
    command.ReleaseBuffer();
    if (!started)
        return false;
    const HANDLE waits[] = {done, process.hProcess};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 120000);
    if (woke == WAIT_OBJECT_0)
        Sleep(delayMs);
    TerminateProcess(process.hProcess, 9);
    const DWORD ended = WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return woke == WAIT_OBJECT_0 && ended == WAIT_OBJECT_0;
}

// The probe's side: a value of its environment ("" when unset).
inline CString ProbeSetting(const wchar_t* name)
{
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}
