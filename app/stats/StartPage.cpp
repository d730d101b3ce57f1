#include "app/stats/StartPage.h"

#include "app/catalog/CatalogSites.h"
#include "app/common/BackgroundWork.h"
#include "app/common/HttpText.h"
#include "app/common/TextUtils.h"
#include "base/Handle.h"

namespace {

const wchar_t kUserMainKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\";
const wchar_t kMachineMainKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Main\\";
const wchar_t kStartPage[] = L"Start Page";

// Reads a string value at whatever size it has; the stored data need not
// end with a terminator.
bool ReadStringValue(HKEY root, const wchar_t* subkey, const wchar_t* name, CString& out)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, subkey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return false;
    CRegKey key(raw);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
            return false;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_MORE_DATA)
            continue; // grew between the two reads
        if (status != ERROR_SUCCESS || type != REG_SZ)
            return false;
        size_t chars = got / sizeof(wchar_t);
        if (chars > buffer.size() - 1)
            chars = buffer.size() - 1;
        buffer[chars] = L'\0';
        out = CString(buffer.data(), static_cast<int>(wcslen(buffer.data())));
        return true;
    }
    return false;
}

} // namespace

void ParseStartPageList(const CString& reply, StartPageChoice& choice)
{
    if (reply.IsEmpty() || reply == L"0")
        return;
    const int marker = reply.Find(L"_start:");
    if (marker < 0)
        return;
    std::vector<CString> pieces;
    SplitString(reply.Mid(marker + 7), L",", pieces, 0, L"");
    for (const CString& piece : pieces) {
        const int separator = piece.Find(L"::");
        if (separator < 0)
            continue;
        const CString url = piece.Left(separator);
        const CString flag = piece.Mid(separator + 2);
        if (url.IsEmpty() || flag.IsEmpty())
            continue;
        if (flag == L"0") {
            choice.defaultUrl = url;
            choice.candidates.emplace_back(url, CString(L"1"));
        } else if (flag != L"2") {
            choice.candidates.emplace_back(url, flag);
        }
    }
}

CString StartPageListUrl()
{
    return GetCatalogSites().webSite + L"/api.php?op=gethome_box&act=gethome";
}

void FetchStartPageList(const CString& url, StartPageChoice& choice)
{
    CString reply;
    if (!HttpGetText(url, reply, 4096))
        return;
    ParseStartPageList(reply, choice);
}

int ReadCurrentStartPage(StartPageChoice& choice)
{
    CString current;
    if (ReadStringValue(HKEY_CURRENT_USER, kUserMainKey, kStartPage, current)) {
        choice.fromUser = 1;
    } else if (ReadStringValue(HKEY_LOCAL_MACHINE, kMachineMainKey, kStartPage, current)) {
        choice.fromUser = 0;
    } else {
        // Where the page cannot be read, nothing is offered.
        return 1;
    }
    for (const auto& candidate : choice.candidates) {
        const CString& url = candidate.first;
        const CString& flag = candidate.second;
        if (flag == L"1") {
            if (current.Find(url) >= 0)
                return 1;
        } else if (!flag.IsEmpty() && current.Find(flag) >= 0 && current.Find(url) < 0) {
            choice.chosenUrl = url;
            return 0;
        }
    }
    return 0;
}

bool WriteStartPage(const StartPageChoice& choice)
{
    const CString& value = choice.chosenUrl.IsEmpty() ? choice.defaultUrl : choice.chosenUrl;
    if (value.IsEmpty())
        return false;
    HKEY raw = nullptr;
    const HKEY root = choice.fromUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (RegOpenKeyExW(root, choice.fromUser ? kUserMainKey : kMachineMainKey, 0, KEY_ALL_ACCESS, &raw) !=
        ERROR_SUCCESS)
        return false;
    CRegKey key(raw);
    const DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, kStartPage, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                          bytes) == ERROR_SUCCESS;
}

void ApplyStartPage(const CString& listUrl)
{
    StartPageChoice choice;
    FetchStartPageList(listUrl, choice);
    ReadCurrentStartPage(choice);
    WriteStartPage(choice);
}

void ApplyStartPage()
{
    ApplyStartPage(StartPageListUrl());
}

bool ApplyStartPageInBackground()
{
    const CString listUrl = StartPageListUrl();
    return RunInBackground(nullptr, [listUrl] {
        ApplyStartPage(listUrl);
        return BackgroundReply();
    });
}
