// A text placed at the very end of readable memory: its terminating NUL is
// the last byte of a page, and the next page cannot be read. A parser that
// reads one byte past the terminator faults at once, under Wine as on
// Windows, where a read past the end of a heap block goes unnoticed.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

class CTextAtPageEdge {
public:
    explicit CTextAtPageEdge(const std::string& text)
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        m_page = system.dwPageSize;
        // As many readable pages as the text needs, then one that is not.
        const size_t readable = (text.size() + 1 + m_page - 1) / m_page * m_page;
        m_base = static_cast<char*>(
            VirtualAlloc(nullptr, readable + m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!m_base)
            return;
        DWORD old = 0;
        if (!VirtualProtect(m_base + readable, m_page, PAGE_NOACCESS, &old)) {
            VirtualFree(m_base, 0, MEM_RELEASE);
            m_base = nullptr;
            return;
        }
        char* start = m_base + readable - text.size() - 1;
        std::memcpy(start, text.data(), text.size());
        start[text.size()] = '\0';
        m_text = std::string_view(start, text.size());
    }
    ~CTextAtPageEdge()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    CTextAtPageEdge(const CTextAtPageEdge&) = delete;
    CTextAtPageEdge& operator=(const CTextAtPageEdge&) = delete;

    bool Placed() const { return m_base != nullptr; }
    // The text, its NUL right after it, and nothing readable after that.
    std::string_view Text() const { return m_text; }

private:
    DWORD m_page = 0;
    char* m_base = nullptr;
    std::string_view m_text;
};
