#include "app/common/UnpackArchive.h"

#include "base/Handle.h"

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
    if (!password.IsEmpty())
        command += L" -p" + password;
    return command;
}

} // namespace

bool UnpackArchive(const CString& archive, const CString& folder, const CString& password)
{
    const CString command = ExtractorCommandLine(archive, folder, password);
    // CreateProcessW may write into its command line.
    std::vector<wchar_t> commandLine(command.GetString(), command.GetString() + command.GetLength() + 1);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);

    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        return false;
    if (exitCode == 0)
        return true;
    if (const wchar_t* message = ExitCodeMessage(exitCode))
        MessageBoxW(nullptr, message, nullptr, MB_OK);
    return false;
}
