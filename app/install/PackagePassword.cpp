#include "app/install/PackagePassword.h"

namespace {

// The stored part: two words joined by "_".
const wchar_t kFirstWord[] = L"mirt";
const wchar_t kSecondWord[] = L"saboe";

} // namespace

CPackagePassword::CPackagePassword(const CString& id)
{
    m_text = id;
    m_text += L'_';
    m_text += kFirstWord;
    m_text += L'_';
    m_text += kSecondWord;
}

CPackagePassword::~CPackagePassword()
{
    const int length = m_text.GetLength();
    if (length > 0 && m_text.RefCount() == 1) {
        SecureZeroMemory(m_text.GetBuffer(length), length * sizeof(wchar_t));
        m_text.ReleaseBuffer(0);
    }
}
