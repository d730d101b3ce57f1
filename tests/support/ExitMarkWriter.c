/* Linked into the test build's programs that tests start from outside.
 * When RAVONYX_EXIT_MARK names a file, the program writes it as its C
 * runtime ends it (a return from the entry function, or exit()); a crash, a
 * stack overflow, an abort or ExitProcess leaves no mark. Under Wine a
 * program that crashed can still end with exit code 0, so the tests take
 * the mark, not the exit code, as the sign that the program ended normally.
 * The name is taken out of the environment at start-up, so that the
 * programs this one starts do not write it in its place. The file calls go
 * to kernel32's own entries, not through the program's import table, so a
 * test's hook in that table neither sees nor counts the mark. */
#include <windows.h>

#include <stdlib.h>

typedef HANDLE(WINAPI* CreateFileWFunction)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                            HANDLE);
typedef BOOL(WINAPI* WriteFileFunction)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

static wchar_t g_exitMark[MAX_PATH * 2];
static CreateFileWFunction g_createFile;
static WriteFileFunction g_writeFile;

static void WriteExitMark(void)
{
    HANDLE file =
        g_createFile(g_exitMark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    g_writeFile(file, "ended\n", 6, &written, NULL);
    CloseHandle(file);
}

__attribute__((constructor)) static void ArmExitMark(void)
{
    const DWORD length = GetEnvironmentVariableW(L"RAVONYX_EXIT_MARK", g_exitMark, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return;
    SetEnvironmentVariableW(L"RAVONYX_EXIT_MARK", NULL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    g_createFile = (CreateFileWFunction)(void*)GetProcAddress(kernel, "CreateFileW");
    g_writeFile = (WriteFileFunction)(void*)GetProcAddress(kernel, "WriteFile");
    if (g_createFile == NULL || g_writeFile == NULL)
        return;
    atexit(WriteExitMark);
}
