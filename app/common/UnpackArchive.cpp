#include "app/common/UnpackArchive.h"

#include "base/Handle.h"
#include "base/StartProcess.h"

#include <vector>

namespace {

// The extractor's exit codes that the user hears about.
const wchar_t* ExitCodeMessage(DWORD code) noexcept
{
    switch (code) {
    case 1:
        return L"警告：文件可能被其他进程占用，无法进行解压！";
    case 2:
        return L"发生严重错误，无法进行解压！";
    case 7:
        return L"命令行错误，无法进行解压！";
    case 8:
        return L"内存不够，无法进行解压！";
    case 255:
        return L"用户主动停止进程，无法进行解压！";
    default:
        return nullptr;
    }
}

CString ExtractorCommandLine(const CString& archive, const CString& folder, const CString& password)
{
    CString command = L"Extract.dll x \"" + archive + L"\" -o\"" + folder + L"\" *.* -r -y";
    if (!password.IsEmpty()) {
        // Appended in place: no temporary copy of the password is left behind.
        command += L" -p";
        command += password;
    }
    return command;
}

// The command line may hold a password: it is not left in memory.
void Wipe(std::vector<wchar_t>& text) noexcept
{
    SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
}

// Waits for the process to end, running meanwhile the messages that other
// threads send to this one. False when the time limit passed first.
bool WaitHandlingSentMessages(HANDLE process, DWORD timeLimitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeLimitMs)
            return false;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &process, FALSE, timeLimitMs - waited, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        // Peeking runs the sent messages; nothing posted is taken.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

bool UnpackArchive(const CString& archive, const CString& folder, const CString& password, DWORD timeLimitMs)
{
    // CreateProcessW may write into its command line.
    std::vector<wchar_t> commandLine;
    {
        CString command = ExtractorCommandLine(archive, folder, password);
        commandLine.assign(command.GetString(), command.GetString() + command.GetLength() + 1);
        const int length = command.GetLength();
        SecureZeroMemory(command.GetBuffer(length), length * sizeof(wchar_t));
        command.ReleaseBuffer(0);
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    const BOOL created = StartProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &started);
    Wipe(commandLine);
    if (!created)
        return false;
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);

    if (!WaitHandlingSentMessages(process, timeLimitMs)) {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, 5000);
        return false;
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        return false;
    if (exitCode == 0)
        return true;
    if (const wchar_t* message = ExitCodeMessage(exitCode))
        MessageBoxW(nullptr, message, nullptr, MB_OK);
    return false;
}
