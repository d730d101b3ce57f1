// Test build only: counts the changes that Uplark.exe (or a test program
// standing in for the main program's part of an update) makes to the file
// system, and the programs it starts, and ends the process just before the
// one the test names; lets a test see and end the updater's waits for a
// file, and shortens its network time-outs. It takes the functions that
// change files out of the program's own import table at start-up, so the
// updater's code knows nothing of it.
#include "tools/uplarkhook/StepHook.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

struct CStepHook {
    CStepHook();
    ~CStepHook();
    void Step(const char* function, const wchar_t* path);
    void Wait(DWORD ms);

    long stopAt = 0;
    long count = 0;
    std::wstring log;
    HANDLE waiting = nullptr;
    HANDLE look = nullptr;
    DWORD networkTimeout = 0;
    bool active = false;
};

CStepHook& Hook();

// The originals of the replaced functions, in the order of kReplaced.
enum Function {
    kCreateDirectoryW,
    kRemoveDirectoryW,
    kDeleteFileW,
    kMoveFileExW,
    kMoveFileW,
    kCopyFileW,
    kSetFileAttributesW,
    kCreateFileW,
    kWriteFile,
    kWritePrivateProfileStringW,
    kSHFileOperationW,
    kSHCreateDirectoryExW,
    kSHCreateDirectory,
    kCreateProcessW,
    kShellExecuteExW,
    kWfopen,
    kSleep,
    kInternetSetOptionW,
    kFunctionCount
};
void* g_original[kFunctionCount] = {};

template <typename T> T Call(Function f)
{
    return reinterpret_cast<T>(g_original[f]);
}

BOOL WINAPI HookCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    Hook().Step("CreateDirectoryW", path);
    return Call<decltype(&CreateDirectoryW)>(kCreateDirectoryW)(path, security);
}

BOOL WINAPI HookRemoveDirectoryW(LPCWSTR path)
{
    Hook().Step("RemoveDirectoryW", path);
    return Call<decltype(&RemoveDirectoryW)>(kRemoveDirectoryW)(path);
}

BOOL WINAPI HookDeleteFileW(LPCWSTR path)
{
    Hook().Step("DeleteFileW", path);
    return Call<decltype(&DeleteFileW)>(kDeleteFileW)(path);
}

BOOL WINAPI HookMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    Hook().Step("MoveFileExW", from);
    return Call<decltype(&MoveFileExW)>(kMoveFileExW)(from, to, flags);
}

BOOL WINAPI HookMoveFileW(LPCWSTR from, LPCWSTR to)
{
    Hook().Step("MoveFileW", from);
    return Call<decltype(&MoveFileW)>(kMoveFileW)(from, to);
}

BOOL WINAPI HookCopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    Hook().Step("CopyFileW", from);
    return Call<decltype(&CopyFileW)>(kCopyFileW)(from, to, failIfExists);
}

BOOL WINAPI HookSetFileAttributesW(LPCWSTR path, DWORD attributes)
{
    Hook().Step("SetFileAttributesW", path);
    return Call<decltype(&SetFileAttributesW)>(kSetFileAttributesW)(path, attributes);
}

HANDLE WINAPI HookCreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile)
{
    // Opening what is there changes nothing, whatever the access asked.
    if (disposition != OPEN_EXISTING)
        Hook().Step("CreateFileW", path);
    return Call<decltype(&CreateFileW)>(kCreateFileW)(path, access, share, security, disposition, flags,
                                                      templateFile);
}

BOOL WINAPI HookWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    Hook().Step("WriteFile", L"");
    return Call<decltype(&WriteFile)>(kWriteFile)(file, data, size, written, overlapped);
}

BOOL WINAPI HookWritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file)
{
    Hook().Step("WritePrivateProfileStringW", file);
    return Call<decltype(&WritePrivateProfileStringW)>(kWritePrivateProfileStringW)(section, key, value,
                                                                                    file);
}

int WINAPI HookSHFileOperationW(LPSHFILEOPSTRUCTW operation)
{
    Hook().Step("SHFileOperationW", operation ? operation->pFrom : L"");
    return Call<decltype(&SHFileOperationW)>(kSHFileOperationW)(operation);
}

int WINAPI HookSHCreateDirectoryExW(HWND window, LPCWSTR path, const SECURITY_ATTRIBUTES* security)
{
    Hook().Step("SHCreateDirectoryExW", path);
    return Call<decltype(&SHCreateDirectoryExW)>(kSHCreateDirectoryExW)(window, path, security);
}

int WINAPI HookSHCreateDirectory(HWND window, LPCWSTR path)
{
    Hook().Step("SHCreateDirectory", path);
    return Call<decltype(&SHCreateDirectory)>(kSHCreateDirectory)(window, path);
}

BOOL WINAPI HookShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    // Starting the updater hands the update over.
    Hook().Step("ShellExecuteExW", info ? info->lpFile : L"");
    return Call<decltype(&ShellExecuteExW)>(kShellExecuteExW)(info);
}

BOOL WINAPI HookCreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                               LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                               LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION started)
{
    // The extractor writes the unpacked files.
    Hook().Step("CreateProcessW", application ? application : commandLine);
    return Call<decltype(&CreateProcessW)>(kCreateProcessW)(
        application, commandLine, process, thread, inherit, flags, environment, folder, startup, started);
}

FILE* __cdecl HookWfopen(const wchar_t* path, const wchar_t* mode)
{
    if (mode && (std::wcschr(mode, L'w') || std::wcschr(mode, L'a')))
        Hook().Step("_wfopen", path);
    return Call<decltype(&_wfopen)>(kWfopen)(path, mode);
}

void WINAPI HookSleep(DWORD ms)
{
    Hook().Wait(ms);
}

bool IsTimeoutOption(DWORD option)
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
    case INTERNET_OPTION_SEND_TIMEOUT:
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_SEND_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT:
        return true;
    default:
        return false;
    }
}

BOOL WINAPI HookInternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length)
{
    DWORD shorter = 0;
    if (Hook().networkTimeout != 0 && IsTimeoutOption(option) && buffer && length == sizeof(DWORD)) {
        shorter = *static_cast<const DWORD*>(buffer);
        if (shorter > Hook().networkTimeout)
            shorter = Hook().networkTimeout;
        buffer = &shorter;
    }
    return Call<decltype(&InternetSetOptionW)>(kInternetSetOptionW)(handle, option, buffer, length);
}

const struct {
    const char* name;
    void* replacement;
} kReplaced[kFunctionCount] = {
    {"CreateDirectoryW", reinterpret_cast<void*>(&HookCreateDirectoryW)},
    {"RemoveDirectoryW", reinterpret_cast<void*>(&HookRemoveDirectoryW)},
    {"DeleteFileW", reinterpret_cast<void*>(&HookDeleteFileW)},
    {"MoveFileExW", reinterpret_cast<void*>(&HookMoveFileExW)},
    {"MoveFileW", reinterpret_cast<void*>(&HookMoveFileW)},
    {"CopyFileW", reinterpret_cast<void*>(&HookCopyFileW)},
    {"SetFileAttributesW", reinterpret_cast<void*>(&HookSetFileAttributesW)},
    {"CreateFileW", reinterpret_cast<void*>(&HookCreateFileW)},
    {"WriteFile", reinterpret_cast<void*>(&HookWriteFile)},
    {"WritePrivateProfileStringW", reinterpret_cast<void*>(&HookWritePrivateProfileStringW)},
    {"SHFileOperationW", reinterpret_cast<void*>(&HookSHFileOperationW)},
    {"SHCreateDirectoryExW", reinterpret_cast<void*>(&HookSHCreateDirectoryExW)},
    {"SHCreateDirectory", reinterpret_cast<void*>(&HookSHCreateDirectory)},
    {"CreateProcessW", reinterpret_cast<void*>(&HookCreateProcessW)},
    {"ShellExecuteExW", reinterpret_cast<void*>(&HookShellExecuteExW)},
    {"_wfopen", reinterpret_cast<void*>(&HookWfopen)},
    {"Sleep", reinterpret_cast<void*>(&HookSleep)},
    {"InternetSetOptionW", reinterpret_cast<void*>(&HookInternetSetOptionW)},
};

// Points every import of the program by one of the names at its replacement.
void ReplaceImports()
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         module->Name != 0; ++module) {
        if (module->OriginalFirstThunk == 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (int f = 0; f < kFunctionCount; ++f) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), kReplaced[f].name) != 0)
                    continue;
                DWORD protection = 0;
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection);
                g_original[f] = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(kReplaced[f].replacement);
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
            }
        }
    }
}

CStepHook::CStepHook()
{
    wchar_t value[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kUplarkStopAtVariable, value, MAX_PATH))
        stopAt = std::wcstol(value, nullptr, 10);
    if (GetEnvironmentVariableW(kUplarkStepLogVariable, value, MAX_PATH))
        log = value;
    if (GetEnvironmentVariableW(kUplarkWaitEventsVariable, value, MAX_PATH)) {
        const std::wstring events = value;
        waiting = OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L".waiting").c_str());
        look = OpenEventW(SYNCHRONIZE, FALSE, (events + L".look").c_str());
    }
    if (GetEnvironmentVariableW(kUplarkNetworkTimeoutVariable, value, MAX_PATH))
        networkTimeout = std::wcstoul(value, nullptr, 10);
    active = stopAt > 0 || !log.empty() || look != nullptr || networkTimeout != 0;
}

CStepHook::~CStepHook()
{
    if (waiting)
        CloseHandle(waiting);
    if (look)
        CloseHandle(look);
}

void CStepHook::Wait(DWORD ms)
{
    if (!look || !waiting) {
        Call<decltype(&Sleep)>(kSleep)(ms);
        return;
    }
    SetEvent(waiting);
    WaitForSingleObject(look, ms);
}

void CStepHook::Step(const char* function, const wchar_t* path)
{
    if (!active)
        return;
    ++count;
    if (!log.empty()) {
        std::wstring line(function, function + std::strlen(function));
        line += L" ";
        line += path ? path : L"";
        line += L"\n";
        const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr,
                                             0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                            nullptr, nullptr);
        // Past the program's import table: the log is no step of the
        // updater's.
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        const auto create = reinterpret_cast<decltype(&CreateFileW)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "CreateFileW")));
        const auto write = reinterpret_cast<decltype(&WriteFile)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "WriteFile")));
        HANDLE out = create(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            write(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(out);
        }
    }
    if (count == stopAt)
        TerminateProcess(GetCurrentProcess(), kUplarkStoppedExitCode);
}

CStepHook& Hook()
{
    static CStepHook hook;
    return hook;
}

// Made with the program's static objects, before its entry runs.
const bool g_installed = [] {
    if (Hook().active)
        ReplaceImports();
    return Hook().active;
}();

} // namespace
