#include "base/RefString.h"

#include <cwchar>
#include <cwctype>
#include <new>

namespace {

struct NilString {
    LONG refs;
    int length;
    int capacity;
    wchar_t terminator;
};

NilString g_nil = {-1, 0, 0, L'\0'};

int TextLength(const wchar_t* text) noexcept
{
    return text ? static_cast<int>(wcslen(text)) : 0;
}

bool IsTrimSpace(wchar_t ch) noexcept
{
    return iswspace(ch) != 0;
}

} // namespace

CString::StringData* CString::NilData() noexcept
{
    return reinterpret_cast<StringData*>(&g_nil);
}

CString::StringData* CString::Allocate(int capacity)
{
    if (capacity < 0)
        throw std::bad_alloc();
    const SIZE_T bytes = sizeof(StringData) + (static_cast<SIZE_T>(capacity) + 1) * sizeof(wchar_t);
    auto* data = static_cast<StringData*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!data)
        throw std::bad_alloc();
    data->refs = 1;
    data->length = 0;
    data->capacity = capacity;
    data->Chars()[0] = L'\0';
    return data;
}

void CString::Release(StringData* data) noexcept
{
    if (data->refs < 0)
        return;
    if (InterlockedDecrement(&data->refs) == 0)
        HeapFree(GetProcessHeap(), 0, data);
}

CString::CString() noexcept
{
    Attach(NilData());
}

CString::CString(const wchar_t* text) : CString()
{
    Assign(text, TextLength(text));
}

CString::CString(const wchar_t* text, int length) : CString()
{
    Assign(text, length);
}

CString::CString(wchar_t ch, int repeat) : CString()
{
    if (repeat <= 0)
        return;
    PrepareWrite(repeat);
    for (int i = 0; i < repeat; ++i)
        m_chars[i] = ch;
    SetLength(repeat);
}

CString::CString(const CString& other) noexcept : m_chars(other.m_chars)
{
    StringData* data = Data();
    if (data->refs >= 0)
        InterlockedIncrement(&data->refs);
}

CString::CString(CString&& other) noexcept : m_chars(other.m_chars)
{
    other.Attach(NilData());
}

CString::~CString()
{
    Release(Data());
}

CString& CString::operator=(const CString& other) noexcept
{
    if (m_chars != other.m_chars) {
        CString copy(other);
        std::swap(m_chars, copy.m_chars);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    std::swap(m_chars, other.m_chars);
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    Assign(text, TextLength(text));
    return *this;
}

void CString::Empty() noexcept
{
    Release(Data());
    Attach(NilData());
}

void CString::Assign(const wchar_t* text, int length)
{
    if (!text || length <= 0) {
        Empty();
        return;
    }
    // The text may point into this string's own buffer.
    StringData* fresh = Allocate(length);
    wmemcpy(fresh->Chars(), text, length);
    fresh->Chars()[length] = L'\0';
    fresh->length = length;
    Release(Data());
    Attach(fresh);
}

void CString::PrepareWrite(int capacity)
{
    StringData* data = Data();
    if (data->refs == 1 && data->capacity >= capacity)
        return;
    int newCapacity = capacity;
    if (data->refs == 1 && capacity > data->capacity) {
        // Grow geometrically for repeated appends.
        const int grown = data->capacity + data->capacity / 2;
        if (grown > newCapacity)
            newCapacity = grown;
    }
    StringData* fresh = Allocate(newCapacity);
    const int keep = data->length < newCapacity ? data->length : newCapacity;
    wmemcpy(fresh->Chars(), data->Chars(), keep);
    fresh->Chars()[keep] = L'\0';
    fresh->length = keep;
    Release(data);
    Attach(fresh);
}

void CString::SetLength(int length) noexcept
{
    StringData* data = Data();
    if (data->refs < 0)
        return;
    data->length = length;
    data->Chars()[length] = L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength())
        return;
    PrepareWrite(GetLength());
    m_chars[index] = ch;
}

wchar_t* CString::GetBuffer(int minLength)
{
    const int length = GetLength();
    // The shared empty string is never written: PrepareWrite always gives
    // it up for a buffer of our own.
    PrepareWrite(minLength > length ? minLength : length);
    return m_chars;
}

wchar_t* CString::GetBufferSetLength(int length)
{
    GetBuffer(length);
    SetLength(length);
    return m_chars;
}

void CString::ReleaseBuffer(int newLength)
{
    StringData* data = Data();
    if (data->refs < 0)
        return;
    if (newLength < 0)
        newLength = static_cast<int>(wcsnlen(m_chars, data->capacity));
    if (newLength > data->capacity)
        newLength = data->capacity;
    SetLength(newLength);
}

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return;
    const int oldLength = GetLength();
    if (text >= m_chars && text <= m_chars + oldLength) {
        // Appending a part of ourselves: copy it first.
        CString part(text, length);
        Append(part.m_chars, length);
        return;
    }
    if (length > 0x7FFFFFFF / 2 - oldLength)
        throw std::bad_alloc();
    PrepareWrite(oldLength + length);
    wmemcpy(m_chars + oldLength, text, length);
    SetLength(oldLength + length);
}

CString& CString::operator+=(const CString& other)
{
    if (IsEmpty())
        return *this = other;
    CString keep(other);
    Append(keep.m_chars, keep.GetLength());
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    Append(text, TextLength(text));
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const wchar_t* text) const noexcept
{
    return wcscmp(m_chars, text ? text : L"");
}

int CString::CompareNoCase(const wchar_t* text) const noexcept
{
    return _wcsicmp(m_chars, text ? text : L"");
}

int CString::Find(const wchar_t* sub, int start) const noexcept
{
    const int length = GetLength();
    if (!sub || start < 0 || start > length)
        return -1;
    if (!*sub)
        return start < length ? start : -1;
    const wchar_t* hit = wcsstr(m_chars + start, sub);
    return hit ? static_cast<int>(hit - m_chars) : -1;
}

int CString::Find(wchar_t ch, int start) const noexcept
{
    const int length = GetLength();
    if (start < 0 || start >= length)
        return -1;
    const wchar_t* hit = wmemchr(m_chars + start, ch, length - start);
    return hit ? static_cast<int>(hit - m_chars) : -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (m_chars[i] == ch)
            return i;
    }
    return -1;
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int length = GetLength();
    if (first < 0)
        first = 0;
    if (first > length)
        first = length;
    if (count < 0)
        count = 0;
    if (count > length - first)
        count = length - first;
    if (first == 0 && count == length)
        return *this;
    return CString(m_chars + first, count);
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    const int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    return Mid(length - count, count);
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    const int oldLength = TextLength(oldText);
    if (oldLength == 0)
        return 0;
    int count = 0;
    CString result;
    int pos = 0;
    for (;;) {
        const int hit = Find(oldText, pos);
        if (hit < 0)
            break;
        result.Append(m_chars + pos, hit - pos);
        result.Append(newText, TextLength(newText));
        pos = hit + oldLength;
        ++count;
    }
    if (count == 0)
        return 0;
    result.Append(m_chars + pos, GetLength() - pos);
    *this = std::move(result);
    return count;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_chars[i] == oldCh) {
            if (count == 0)
                PrepareWrite(GetLength());
            m_chars[i] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    if (Find(ch) < 0)
        return 0;
    PrepareWrite(GetLength());
    int out = 0;
    const int length = GetLength();
    for (int i = 0; i < length; ++i) {
        if (m_chars[i] != ch)
            m_chars[out++] = m_chars[i];
    }
    SetLength(out);
    return length - out;
}

int CString::Insert(int index, const wchar_t* text)
{
    const int length = GetLength();
    if (index < 0)
        index = 0;
    if (index > length)
        index = length;
    CString result(m_chars, index);
    result += text;
    result.Append(m_chars + index, length - index);
    *this = std::move(result);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    const int length = GetLength();
    if (index < 0)
        index = 0;
    if (count <= 0 || index >= length)
        return length;
    if (count > length - index)
        count = length - index;
    PrepareWrite(length);
    wmemmove(m_chars + index, m_chars + index + count, length - index - count);
    SetLength(length - count);
    return GetLength();
}

CString& CString::TrimLeft()
{
    int skip = 0;
    while (skip < GetLength() && IsTrimSpace(m_chars[skip]))
        ++skip;
    if (skip)
        Delete(0, skip);
    return *this;
}

CString& CString::TrimRight()
{
    int end = GetLength();
    while (end > 0 && IsTrimSpace(m_chars[end - 1]))
        --end;
    if (end != GetLength()) {
        PrepareWrite(GetLength());
        SetLength(end);
    }
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft(wchar_t ch)
{
    int skip = 0;
    while (skip < GetLength() && m_chars[skip] == ch)
        ++skip;
    if (skip)
        Delete(0, skip);
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    int end = GetLength();
    while (end > 0 && m_chars[end - 1] == ch)
        --end;
    if (end != GetLength()) {
        PrepareWrite(GetLength());
        SetLength(end);
    }
    return *this;
}

CString& CString::Trim(wchar_t ch)
{
    return TrimRight(ch).TrimLeft(ch);
}

CString& CString::MakeLower()
{
    if (!IsEmpty()) {
        PrepareWrite(GetLength());
        CharLowerBuffW(m_chars, GetLength());
    }
    return *this;
}

CString& CString::MakeUpper()
{
    if (!IsEmpty()) {
        PrepareWrite(GetLength());
        CharUpperBuffW(m_chars, GetLength());
    }
    return *this;
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length <= 0) {
        Empty();
        return;
    }
    CString result;
    result.PrepareWrite(length);
    _vsnwprintf(result.m_chars, length + 1, format, args);
    result.SetLength(length);
    *this = std::move(result);
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    *this += tail;
}

CString CString::FromCodePage(const char* bytes, int length, UINT codePage)
{
    CString result;
    if (!bytes)
        return result;
    if (length < 0)
        length = static_cast<int>(strlen(bytes));
    if (length == 0)
        return result;
    const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (needed <= 0)
        return result;
    result.PrepareWrite(needed);
    MultiByteToWideChar(codePage, 0, bytes, length, result.m_chars, needed);
    result.SetLength(needed);
    return result;
}

std::string CString::ToCodePage(UINT codePage) const
{
    std::string result;
    const int length = GetLength();
    if (length == 0)
        return result;
    const int needed = WideCharToMultiByte(codePage, 0, m_chars, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return result;
    result.resize(static_cast<size_t>(needed));
    WideCharToMultiByte(codePage, 0, m_chars, length, &result[0], needed, nullptr, nullptr);
    return result;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const wchar_t* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const wchar_t* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, wchar_t b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(wchar_t a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}
