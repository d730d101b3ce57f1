#include "app/browser/ProgramPages.h"

#include <windows.h>

#include <string>

namespace {

struct Origin {
    std::wstring scheme; // lower case
    std::wstring host;   // lower case
    int port = 0;
};

// Lower case as the file system compares names: every letter, not only
// the ASCII ones.
std::wstring Lower(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

// The origin of an "http://" or "https://" address; false for any other
// address or one whose authority holds user information or odd characters.
bool ParseOrigin(const std::wstring& address, Origin& origin)
{
    const size_t colon = address.find(L"://");
    if (colon == std::wstring::npos)
        return false;
    origin.scheme = Lower(address.substr(0, colon));
    if (origin.scheme == L"http")
        origin.port = 80;
    else if (origin.scheme == L"https")
        origin.port = 443;
    else
        return false;
    const size_t start = colon + 3;
    const size_t end = address.find_first_of(L"/?#\\", start);
    const std::wstring authority = address.substr(start, end == std::wstring::npos ? end : end - start);
    if (authority.empty() || authority.find_first_of(L"@%\\ \t\r\n") != std::wstring::npos)
        return false;
    const size_t portAt = authority.rfind(L':');
    origin.host = Lower(authority.substr(0, portAt));
    if (origin.host.empty())
        return false;
    if (portAt != std::wstring::npos) {
        const std::wstring digits = authority.substr(portAt + 1);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of(L"0123456789") != std::wstring::npos)
            return false;
        origin.port = 0;
        for (const wchar_t digit : digits)
            origin.port = origin.port * 10 + (digit - L'0');
    }
    return true;
}

int HexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "%XX" escapes decoded; false for a broken escape or text.
bool PercentDecode(const std::wstring& text, std::wstring& out)
{
    out.clear();
    if (text.empty())
        return true;
    // No WC_ERR_INVALID_CHARS: XP refuses the flag for UTF-8, and a lone
    // surrogate only turns into a character no file of ours is named with.
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return false;
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr,
                        nullptr);
    std::string bytes;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '%') {
            bytes += utf8[i];
            continue;
        }
        if (i + 2 >= utf8.size())
            return false;
        const int high = HexValue(static_cast<unsigned char>(utf8[i + 1]));
        const int low = HexValue(static_cast<unsigned char>(utf8[i + 2]));
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (bytes.empty())
        return true;
    // Escapes are UTF-8, or, from an older browser, the ANSI code page.
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        const int size = static_cast<int>(bytes.size());
        const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
        if (n <= 0)
            continue;
        out.assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &out[0], n);
        return true;
    }
    return false;
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::wstring();
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (written == 0 || written >= n)
        return std::wstring();
    full.resize(written);
    return full;
}

// The local file a "file:" address names, as a full path with backslashes:
// only a drive path ("file:///C:/..." or "file://C:\..."), never a share.
bool FilePathOf(const std::wstring& address, std::wstring& path)
{
    if (!StartsWithNoCase(address, L"file:"))
        return false;
    std::wstring rest = address.substr(5);
    const size_t end = rest.find_first_of(L"?#");
    if (end != std::wstring::npos)
        rest.resize(end);
    size_t slashes = 0;
    while (slashes < rest.size() && (rest[slashes] == L'/' || rest[slashes] == L'\\'))
        ++slashes;
    rest.erase(0, slashes);
    std::wstring decoded;
    if (!PercentDecode(rest, decoded))
        return false;
    for (wchar_t& c : decoded)
        if (c == L'/')
            c = L'\\';
    const bool drive =
        decoded.size() >= 3 &&
        ((decoded[0] >= L'A' && decoded[0] <= L'Z') || (decoded[0] >= L'a' && decoded[0] <= L'z')) &&
        decoded[1] == L':' && decoded[2] == L'\\';
    // A drive path holds no second drive colon, no device or stream names.
    if (!drive || decoded.find(L':', 2) != std::wstring::npos || decoded.find(L'\0') != std::wstring::npos)
        return false;
    path = FullPath(decoded);
    return !path.empty();
}

} // namespace

bool IsProgramPageAddress(const CString& address, std::initializer_list<CString> sites,
                          const CString& localFolder)
{
    const std::wstring text(address.GetString(), static_cast<size_t>(address.GetLength()));
    if (text.empty())
        return false;
    Origin page;
    if (ParseOrigin(text, page)) {
        for (const CString& site : sites) {
            Origin own;
            if (ParseOrigin(std::wstring(site.GetString(), static_cast<size_t>(site.GetLength())), own) &&
                own.scheme == page.scheme && own.host == page.host && own.port == page.port)
                return true;
        }
        return false;
    }
    std::wstring path;
    if (!FilePathOf(text, path) || localFolder.IsEmpty())
        return false;
    std::wstring folder =
        FullPath(std::wstring(localFolder.GetString(), static_cast<size_t>(localFolder.GetLength())));
    if (folder.empty())
        return false;
    if (folder.back() != L'\\')
        folder += L'\\';
    return path.size() > folder.size() && StartsWithNoCase(path, folder);
}
