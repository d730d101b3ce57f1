// The program's wide string: one pointer to UTF-16 characters preceded by a
// reference-counted header, copy-on-write. Every module of the program (the
// main program, the download library, the updater) uses this one layout and
// allocates from the process heap, so a string may be created in one module
// and released in another. That is what lets the download library's exports
// take strings by value.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
public:
    CString() noexcept;
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int repeat = 1);
    CString(const CString& other) noexcept;
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other) noexcept;
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);

    int GetLength() const noexcept { return Data()->length; }
    bool IsEmpty() const noexcept { return Data()->length == 0; }
    void Empty() noexcept;

    const wchar_t* GetString() const noexcept { return m_chars; }
    operator const wchar_t*() const noexcept { return m_chars; }
    wchar_t GetAt(int index) const noexcept { return m_chars[index]; }
    wchar_t operator[](int index) const noexcept { return m_chars[index]; }
    void SetAt(int index, wchar_t ch);

    // Direct access for Win32 calls that fill a buffer. ReleaseBuffer(-1)
    // takes the length up to the first NUL.
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    CString& operator+=(const CString& other);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);
    void Append(const wchar_t* text, int length);

    int Compare(const wchar_t* text) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;

    int Find(const wchar_t* sub, int start = 0) const noexcept;
    int Find(wchar_t ch, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Replace(wchar_t oldCh, wchar_t newCh);
    int Remove(wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(wchar_t ch);
    CString& TrimLeft(wchar_t ch);
    CString& TrimRight(wchar_t ch);
    CString& MakeLower();
    CString& MakeUpper();

    // printf-style formatting with the Windows runtime's rules: in a wide
    // format "%s" takes a wide string.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormat(const wchar_t* format, ...);

    // Conversions. The code page variants convert up to the first NUL when
    // length is -1.
    static CString FromCodePage(const char* bytes, int length, UINT codePage);
    std::string ToCodePage(UINT codePage) const;
    static CString FromAnsi(const char* bytes, int length = -1)
    {
        return FromCodePage(bytes, length, CP_THREAD_ACP);
    }
    std::string ToAnsi() const { return ToCodePage(CP_THREAD_ACP); }
    static CString FromUtf8(const char* bytes, int length = -1)
    {
        return FromCodePage(bytes, length, CP_UTF8);
    }
    std::string ToUtf8() const { return ToCodePage(CP_UTF8); }

    // For tests of the sharing rules.
    long RefCount() const noexcept { return Data()->refs; }

private:
    struct StringData {
        volatile LONG refs; // -1 for the shared empty string, never freed
        int length;
        int capacity; // characters, not counting the terminator
        wchar_t* Chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }
    };

    StringData* Data() const noexcept { return reinterpret_cast<StringData*>(m_chars) - 1; }
    static StringData* NilData() noexcept;
    static StringData* Allocate(int capacity);
    static void Release(StringData* data) noexcept;
    void Attach(StringData* data) noexcept { m_chars = data->Chars(); }
    void Assign(const wchar_t* text, int length);
    void PrepareWrite(int capacity); // unshared buffer of at least capacity
    void SetLength(int length) noexcept;

    wchar_t* m_chars;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

inline bool operator==(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator==(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) != 0;
}
inline bool operator!=(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) != 0;
}
inline bool operator!=(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) != 0;
}
inline bool operator<(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) < 0;
}
