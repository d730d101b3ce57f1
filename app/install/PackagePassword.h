// The password of an item's package. It is put together only while the
// extractor is started and wiped when the object goes; it is never shown,
// kept or written anywhere.
#pragma once

#include "base/RefString.h"

class CPackagePassword {
public:
    // The item id as decimal text.
    explicit CPackagePassword(const CString& id);
    CPackagePassword(const CPackagePassword&) = delete;
    CPackagePassword& operator=(const CPackagePassword&) = delete;
    ~CPackagePassword();

    const CString& Text() const noexcept { return m_text; }

private:
    CString m_text;
};
