/* Linked into the test build's programs that tests start from outside.
 * When RAVONYX_EXIT_MARK names a file, the program writes it as its C
 * runtime ends it (a return from the entry function, or exit()); a crash, a
 * stack overflow, an abort or ExitProcess leaves no mark. Under Wine a
 * program that crashed can still end with exit code 0, so the tests take
 * the mark, not the exit code, as the sign that the program ended normally.
 * The name is taken out of the environment at start-up, so that the
 * programs this one starts do not write it in its place. */
#include <windows.h>

#include <stdlib.h>

static wchar_t g_exitMark[MAX_PATH * 2];

static void WriteExitMark(void)
{
    HANDLE file = CreateFileW(g_exitMark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, "ended\n", 6, &written, NULL);
    CloseHandle(file);
}

__attribute__((constructor)) static void ArmExitMark(void)
{
    const DWORD length = GetEnvironmentVariableW(L"RAVONYX_EXIT_MARK", g_exitMark, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return;
    SetEnvironmentVariableW(L"RAVONYX_EXIT_MARK", NULL);
    atexit(WriteExitMark);
}
