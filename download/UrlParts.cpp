#include "download/UrlParts.h"

namespace {

// "80" -> 80; anything but 1 to 5 digits naming 1..65535 gives 0.
int ParsePort(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 5)
        return 0;
    int port = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch < L'0' || ch > L'9')
            return 0;
        port = port * 10 + (ch - L'0');
    }
    return port <= 65535 ? port : 0;
}

} // namespace

UrlParts SplitUrl(const CString& url)
{
    CString trimmed = url;
    trimmed.Trim();

    UrlParts parts;
    CString rest = trimmed;
    const int scheme = rest.Find(L"http://");
    if (scheme >= 0)
        rest = rest.Mid(scheme + 7);
    const int slash = rest.Find(L'/');
    parts.hostHeader = slash >= 0 ? rest.Left(slash) : CString();

    const int colon = parts.hostHeader.Find(L':');
    if (colon >= 0) {
        parts.host = parts.hostHeader.Left(colon);
        parts.port = ParsePort(parts.hostHeader.Mid(colon + 1));
    } else {
        parts.host = parts.hostHeader;
    }

    const int last = trimmed.ReverseFind(L'/');
    parts.dir = trimmed.Left(last + 1);
    parts.file = trimmed.Mid(last + 1);
    return parts;
}

CString UrlFileName(const CString& url)
{
    return url.Mid(url.ReverseFind(L'/') + 1);
}

CString FileTitleOf(const CString& url)
{
    const CString name = UrlFileName(url);
    const int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Left(dot) : CString();
}

bool IsPlainFileName(const CString& name)
{
    if (name.IsEmpty() || name == L"." || name == L"..")
        return false;
    return name.Find(L'\\') < 0 && name.Find(L':') < 0;
}
