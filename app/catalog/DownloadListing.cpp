#include "app/catalog/DownloadListing.h"

#include <climits>
#include <string>
#include <vector>

#include "app/catalog/LocalLists.h"
#include "app/common/TextUtils.h"
#include "app/startup/CorvaneModule.h"

namespace {

// The last count's page size, item count and page count (UI thread only).
struct PagingState {
    int pageSize = 0;
    int itemCount = 0;
    int pageCount = 0;
};

PagingState g_paging;

bool FilterText(int filter, std::string& text)
{
    switch (filter) {
    case 1:
        text = "\"status\":2";
        return true;
    case 2:
        text = "\"progress\":";
        return true;
    case 3:
        text.clear();
        return true;
    default:
        return false;
    }
}

int ClampToInt(long long value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

const wchar_t kStatusKey[] = L"\"status\":";
const wchar_t kProgressKey[] = L"\"progress\":\"";

// The state fragment of one entry's record; false when it gives none.
bool StateFragment(const CString& id, const std::wstring& jsons, std::wstring& fragment)
{
    const size_t key = jsons.find(kStatusKey);
    const size_t at = key == std::wstring::npos ? key : key + wcslen(kStatusKey);
    // No status digit to read: the id gives nothing.
    if (at == std::wstring::npos || at >= jsons.size())
        return false;
    const wchar_t status = jsons[at];
    const int value = status >= L'0' && status <= L'9' ? status - L'0' : 0;
    if (value > 6)
        return false;
    fragment = L"{\"gid\":\"" + std::wstring(id.GetString()) + L"\",\"status\":\"" + status + L"\"";
    if (value != 2) {
        const size_t progress = jsons.find(kProgressKey);
        const size_t brace = jsons.rfind(L'}');
        if (progress != std::wstring::npos && progress >= 1 && brace != std::wstring::npos) {
            const size_t begin = progress + wcslen(kProgressKey);
            // The value runs up to the character before the last "}".
            if (begin <= brace - 1)
                fragment += L",\"progress\":\"" + jsons.substr(begin, brace - 1 - begin) + L"\"";
        }
    }
    fragment += L"}";
    return true;
}

} // namespace

CString GetDownloadPageCount(int pageSize, int filter, int kind)
{
    g_paging.pageSize = pageSize;
    g_paging.pageCount = 0;
    const CString none = L"0|0";
    std::string text;
    if (!FilterText(filter, text))
        return none;
    g_paging.itemCount = CountListItems(kind, text);
    if (g_paging.itemCount <= 0 || pageSize < 0)
        return none;
    if (pageSize == 0) {
        g_paging.pageCount = 1;
        g_paging.pageSize = g_paging.itemCount;
    } else {
        g_paging.pageCount = (g_paging.itemCount + pageSize - 1) / pageSize;
    }
    CString answer;
    answer.Format(L"%d|%d", g_paging.pageCount, g_paging.itemCount);
    return answer;
}

CString LoadDownloadPage(int page, int filter, int kind)
{
    const PagingState paging = g_paging;
    if (paging.itemCount <= 0 || paging.pageSize <= 0 || paging.pageCount <= 0)
        return CString();
    const long long size = paging.pageSize;
    long long first = 0;
    long long last = 0;
    if (page < paging.pageCount) {
        first = size * (static_cast<long long>(page) - 1) + 1;
        last = size * page;
    } else {
        first = size * (paging.pageCount - 1) + 1;
        last = paging.itemCount;
    }
    std::string text;
    if (!FilterText(filter, text))
        return CString();
    std::string texts = CollectListTexts(kind, ClampToInt(first), ClampToInt(last), text);
    if (!texts.empty() && texts.back() == ',')
        texts.pop_back();
    CString result = CString::FromAnsi(texts.c_str());
    CString root = _Module.m_strDownloadDir;
    root.Replace(L"\\", L"/");
    result.Replace(L"$imageiniboot$", root);
    return result;
}

CString GetLocalItemStates(const CString& ids, int kind)
{
    if (ids.IsEmpty())
        return CString();
    std::vector<CString> pieces;
    SplitString(ids, L",", pieces, 0, CString());
    std::wstring answer;
    for (const CString& id : pieces) {
        CString jsons;
        if (!ReadItemJsons(kind, id, jsons))
            continue;
        std::wstring fragment;
        if (!StateFragment(id, jsons.GetString(), fragment))
            continue;
        if (!answer.empty())
            answer += L",";
        answer += fragment;
    }
    return CString(answer.c_str());
}
