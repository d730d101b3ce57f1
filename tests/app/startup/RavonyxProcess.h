// Black-box runs of Ravonyx.exe: a fresh copy of the program folder in a
// temporary folder, whose download root points into that folder, and a run
// of the program from it that the test can wait on, look at and end.
#pragma once

#include <windows.h>

#include "base/Handle.h"
#include "base/RefString.h"
#include "tests/support/ExitMark.h"
#include "tests/support/TempFolder.h"

#include <ostream>
#include <vector>

// Shows texts in test messages.
inline void PrintTo(const CString& text, std::ostream* os)
{
    *os << '"' << text.ToUtf8() << '"';
}

// The title of the main window (its layout's).
extern const wchar_t kMainWindowTitle[];

class CProgramCopy {
public:
    CProgramCopy();

    // The program folder, with a trailing backslash.
    const CString& Dir() const noexcept { return m_dir; }
    CString Exe() const { return m_dir + L"Ravonyx.exe"; }
    CString Ini() const { return m_dir + L"Config\\common.ini"; }
    // The download root the copy is set to, with a trailing backslash.
    const CString& DownloadRoot() const noexcept { return m_downloadRoot; }

    void SetSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
    // The decoded value, or fallback when absent.
    CString Setting(const wchar_t* section, const wchar_t* key, const wchar_t* fallback = L"") const;

private:
    CTempFolder m_temp;
    CString m_dir;
    CString m_downloadRoot;
};

class CRavonyxRun {
public:
    CRavonyxRun(const CString& exe, const CString& arguments);
    CRavonyxRun(const CRavonyxRun&) = delete;
    CRavonyxRun& operator=(const CRavonyxRun&) = delete;
    // Ends the program when it still runs.
    ~CRavonyxRun();

    bool Started() const { return m_process.IsValid(); }
    DWORD ProcessId() const { return m_pid; }

    // Waits for the program to end, handling this thread's messages
    // meanwhile (the program may send to the test's windows). The exit
    // code, STILL_ACTIVE on time-out, or kEndedWithoutMark (and a test
    // failure) when the program did not end normally: a crash can end with
    // exit code 0 under Wine.
    DWORD WaitForExit(DWORD timeoutMs);

    // A visible top-level window of the program whose title is (or is not)
    // the main window's; null on time-out.
    HWND WaitForMainWindow(DWORD timeoutMs);
    HWND WaitForOtherWindow(DWORD timeoutMs);
    // The main window, visible or not; null when none.
    HWND FindMainWindow() const;
    // Ends the main window's modal run as the task bar's close does, and
    // waits for the program to end.
    DWORD CloseMainWindow(DWORD timeoutMs = 20000);

private:
    HWND WaitForWindow(bool main, DWORD timeoutMs);

    CExitMark m_exitMark;
    CHandle m_process;
    DWORD m_pid = 0;
};

// Clicks the skinned message box's close button (its header's right end)
// with the mouse messages its view gets.
void ClickMessageBoxClose(HWND box);

// Runs this thread's messages for a while (lets cross-process sends in).
void PumpMessagesFor(DWORD ms);

// Waits until pred holds, running this thread's messages; false on time-out.
template <typename Pred> bool WaitUntil(Pred pred, DWORD timeoutMs = 10000)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!pred()) {
        if (GetTickCount64() >= end)
            return false;
        PumpMessagesFor(50);
    }
    return true;
}

// Every window of a process: its top-level windows with all their
// children, and its message-only windows.
std::vector<HWND> ProgramWindows(DWORD pid);

// The visible top-level windows of a process with this title.
std::vector<HWND> WindowsTitled(DWORD pid, const wchar_t* title);

// True when the window answers a message within 5 s.
bool Answers(HWND hwnd);

// The program folder built by the build (the "program_folder" target).
CString BuiltProgramFolder();
