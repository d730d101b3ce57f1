#include "tests/support/ExitMark.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kVariable[] = L"RAVONYX_EXIT_MARK";

} // namespace

CExitMark::CExitMark()
{
    static LONG counter = 0;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    m_path.Format(L"%sravonyx-exit-%lu-%ld.mark", folder, GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    DeleteFileW(m_path);
}

CExitMark::~CExitMark()
{
    DeleteFileW(m_path);
}

void CExitMark::Arm() const
{
    DeleteFileW(m_path);
    SetEnvironmentVariableW(kVariable, m_path);
}

void CExitMark::Disarm()
{
    SetEnvironmentVariableW(kVariable, nullptr);
}

bool CExitMark::Seen() const
{
    return GetFileAttributesW(m_path) != INVALID_FILE_ATTRIBUTES;
}

DWORD CheckedExitCode(HANDLE process, const CExitMark& mark, const char* program)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    if (code == STILL_ACTIVE)
        return code;
    if (!mark.Seen()) {
        ADD_FAILURE() << program << " ended without ending normally (a crash, a stack overflow, an abort or "
                      << "ExitProcess), exit code " << code;
        return kEndedWithoutMark;
    }
    return code;
}
