#include "tests/app/startup/RavonyxProcess.h"

#include <gtest/gtest.h>

#include "app/common/ConfigCodec.h"
#include "base/StartProcess.h"

const wchar_t kMainWindowTitle[] = L"拉沃工坊";

namespace {

void CopyTree(const CString& from, const CString& to)
{
    CreateDirectoryW(to, nullptr);
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(from + L"*", &data));
    if (!find)
        return;
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + name + L"\\", to + name + L"\\");
        else
            CopyFileW(from + name, to + name, FALSE);
    } while (FindNextFileW(find, &data));
}

DWORD ProcessOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

struct WindowSearch {
    DWORD pid;
    bool main;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    if (ProcessOf(hwnd) != search.pid || (search.visibleOnly && !IsWindowVisible(hwnd)))
        return TRUE;
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    if ((wcscmp(title, kMainWindowTitle) == 0) != search.main)
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND FindProcessWindow(DWORD pid, bool main, bool visibleOnly)
{
    WindowSearch search = {pid, main, visibleOnly, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

CString BuiltProgramFolder()
{
    CString dir = RAVONYX_PROGRAM_DIR;
    dir.Replace(L'/', L'\\');
    if (dir[dir.GetLength() - 1] != L'\\')
        dir += L'\\';
    return dir;
}

CProgramCopy::CProgramCopy()
{
    m_dir = m_temp.Path() + L"program\\";
    CopyTree(BuiltProgramFolder(), m_dir);
    m_downloadRoot = m_temp.Path() + L"downloads\\";
    CreateDirectoryW(m_downloadRoot, nullptr);
    SetSetting(L"DownLoad", L"Path", m_downloadRoot);
}

void CProgramCopy::SetSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) const
{
    ASSERT_NE(WriteConfigValue(section, key, value, Ini()), 0) << "setting " << section << "/" << key;
}

CString CProgramCopy::Setting(const wchar_t* section, const wchar_t* key, const wchar_t* fallback) const
{
    CString value = fallback;
    ReadConfigValue(section, key, Ini(), fallback, MAX_PATH, value);
    return value;
}

void PumpMessagesFor(DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

CRavonyxRun::CRavonyxRun(const CString& exe, const CString& arguments)
{
    CString line = CString(L"\"") + exe + L"\"";
    if (!arguments.IsEmpty())
        line += CString(L" ") + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    CString directory = exe.Left(exe.ReverseFind(L'\\') + 1);
    m_exitMark.Arm();
    const BOOL started = StartProcess(exe, line.GetBuffer(line.GetLength() + 1), nullptr, nullptr, FALSE, 0,
                                      nullptr, directory, &startup, &info);
    CExitMark::Disarm();
    if (started) {
        CloseHandle(info.hThread);
        m_process.Reset(info.hProcess);
        m_pid = info.dwProcessId;
    }
}

CRavonyxRun::~CRavonyxRun()
{
    if (m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
}

DWORD CRavonyxRun::WaitForExit(DWORD timeoutMs)
{
    if (!m_process)
        return STILL_ACTIVE;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        HANDLE handle = m_process;
        const DWORD wait = MsgWaitForMultipleObjects(1, &handle, FALSE, 20, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount64() >= end)
            return STILL_ACTIVE;
    }
    return CheckedExitCode(m_process, m_exitMark, "Ravonyx.exe");
}

HWND CRavonyxRun::WaitForWindow(bool main, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND hwnd = FindProcessWindow(m_pid, main, true))
            return hwnd;
        if (GetTickCount64() >= end || WaitForSingleObject(m_process, 0) != WAIT_TIMEOUT)
            return nullptr;
        PumpMessagesFor(50);
    }
}

HWND CRavonyxRun::WaitForMainWindow(DWORD timeoutMs)
{
    return WaitForWindow(true, timeoutMs);
}

HWND CRavonyxRun::WaitForOtherWindow(DWORD timeoutMs)
{
    return WaitForWindow(false, timeoutMs);
}

HWND CRavonyxRun::FindMainWindow() const
{
    return FindProcessWindow(m_pid, true, false);
}

DWORD CRavonyxRun::CloseMainWindow(DWORD timeoutMs)
{
    HWND main = FindMainWindow();
    if (main)
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForExit(timeoutMs);
}

void ClickMessageBoxClose(HWND box)
{
    HWND view = GetDlgItem(box, 1000);
    RECT client;
    GetClientRect(view, &client);
    // The close button sits at "-30,6,-8,24" in the header.
    const LPARAM at = MAKELPARAM(client.right - 19, 15);
    SendMessageW(view, WM_MOUSEMOVE, 0, at);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
}

std::vector<HWND> ProgramWindows(DWORD pid)
{
    struct Found {
        DWORD pid;
        std::vector<HWND> windows;
    } found{pid, {}};
    EnumWindows(
        [](HWND top, LPARAM param) -> BOOL {
            auto& f = *reinterpret_cast<Found*>(param);
            if (ProcessOf(top) != f.pid)
                return TRUE;
            f.windows.push_back(top);
            EnumChildWindows(
                top,
                [](HWND child, LPARAM windows) -> BOOL {
                    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&f.windows));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    for (HWND hwnd = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
         hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr)) {
        if (ProcessOf(hwnd) == pid)
            found.windows.push_back(hwnd);
    }
    return found.windows;
}

std::vector<HWND> WindowsTitled(DWORD pid, const wchar_t* title)
{
    struct Search {
        DWORD pid;
        const wchar_t* title;
        std::vector<HWND> found;
    } search{pid, title, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            wchar_t text[64] = {};
            GetWindowTextW(hwnd, text, 64);
            if (ProcessOf(hwnd) == s.pid && IsWindowVisible(hwnd) && wcscmp(text, s.title) == 0)
                s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Answers(HWND hwnd)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
}
