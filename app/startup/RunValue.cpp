#include "app/startup/RunValue.h"

#include "base/Handle.h"

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValueName[] = L"Ravonyx";

namespace {

// A 32-bit process on 64-bit Windows uses the 32-bit view of the key.
REGSAM WithWow64View(REGSAM access)
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64)
        return access | KEY_WOW64_32KEY;
    return access;
}

// The value buffer: 500 bytes, room for 249 characters and the terminator.
constexpr DWORD kValueBytes = 500;

} // namespace

CString RunCommandText(const CString& programPath)
{
    return CString(L"\"") + programPath + L"\" -autorun";
}

int ReadHklmString(const wchar_t* subkey, const wchar_t* valueName, CString& out)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, WithWow64View(KEY_READ), &raw) != ERROR_SUCCESS)
        return 1;
    CRegKey key(raw);
    wchar_t buffer[kValueBytes / sizeof(wchar_t)] = {};
    DWORD type = 0;
    DWORD bytes = kValueBytes;
    const LONG status =
        RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return 2;
    // The stored data need not end with a terminator: a value that fills
    // the whole buffer without one is too long, never cut.
    DWORD chars = bytes / sizeof(wchar_t);
    if (chars > 0 && buffer[chars - 1] == L'\0')
        --chars;
    if (chars >= kValueBytes / sizeof(wchar_t))
        return 2;
    buffer[chars] = L'\0';
    if (RegCloseKey(key.Detach()) != ERROR_SUCCESS)
        return 2;
    out = CString(buffer, static_cast<int>(wcslen(buffer)));
    return 0;
}

int WriteRunValue(const CString& command)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, WithWow64View(KEY_ALL_ACCESS), &raw) != ERROR_SUCCESS)
        return 1;
    CRegKey key(raw);
    const DWORD bytes = static_cast<DWORD>((command.GetLength() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.GetString()),
                       bytes) != ERROR_SUCCESS)
        return 2;
    return 0;
}

int DeleteRunValue()
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, WithWow64View(KEY_ALL_ACCESS), &raw) != ERROR_SUCCESS)
        return 1;
    CRegKey key(raw);
    return RegDeleteValueW(key, kRunValueName) == ERROR_SUCCESS ? 0 : 2;
}

int SyncAutoRun(int autostart)
{
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString command = RunCommandText(path);
    CString current;
    int result = ReadHklmString(kRunKey, kRunValueName, current);
    if (result == 2) {
        if (autostart == 1)
            result = WriteRunValue(command);
    } else if (result == 0) {
        if (autostart == 1 && current.CompareNoCase(command) != 0)
            result = WriteRunValue(command);
        else if (autostart != 1 && !current.IsEmpty())
            result = DeleteRunValue();
    }
    return result;
}
