#include "updater/UpdateJob.h"

CUpdateJob::CUpdateJob(const CString& folder, const CString& digest)
    : m_strPackageName(L"Tessaly.zip"), m_strProgramFolder(folder), m_strWorkFolder(folder + L"Temp\\"),
      m_strExpectedMd5(digest)
{
}
