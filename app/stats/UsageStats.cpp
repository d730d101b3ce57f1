#include "app/stats/UsageStats.h"

#include <memory>
#include <vector>

#include "app/catalog/CatalogSites.h"
#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/common/HttpText.h"
#include "app/common/TextUtils.h"
#include "app/popups/GBPopSetHome.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunValue.h"
#include "app/stats/StartPage.h"

#include <ctime>

namespace {

const wchar_t kInstallKey[] = L"SOFTWARE\\Ravonyx";
constexpr time_t kWeekSeconds = 604800;

CString CommonIni()
{
    return _Module.m_strAppDir + L"Config\\common.ini";
}

CString ReadCommon(const wchar_t* key, const wchar_t* defaultValue)
{
    CString value;
    if (!ReadConfigValue(L"Common", key, CommonIni(), defaultValue, 260, value))
        value = defaultValue;
    return value;
}

void WriteCommon(const wchar_t* key, const CString& value)
{
    WriteConfigValue(L"Common", key, value, CommonIni());
}

CString Decimal(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

} // namespace

CString DateText(const SYSTEMTIME& time)
{
    CString text;
    text.Format(L"%u|%u|%u", time.wYear, time.wMonth, time.wDay);
    return text;
}

int DayMark(const SYSTEMTIME& time)
{
    return time.wMonth * 100 + time.wDay;
}

void ReportAdInfo(const wchar_t* action)
{
    CString sid;
    if (ReadHklmString(kInstallKey, L"ShopsId", sid) != 0)
        sid = L"0";
    CString mac;
    if (ReadHklmString(kInstallKey, L"Mac", mac) != 0)
        mac = L"00-00-00-00-00-00";
    const CString url = GetCatalogSites().webSite + L"/api.php?op=postadinfo_box&action=" + action +
                        L"&sid=" + sid + L"&mac=" + mac;
    // The reply is not looked at: nothing comes back.
    RunInBackground(nullptr, [url] {
        CString reply;
        HttpGetText(url, reply, 2000);
        return BackgroundReply();
    });
}

void CountActiveDay()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int today = DayMark(now);
    const int acttime = _wtoi(ReadCommon(L"acttime", L"0"));
    const int actnum = _wtoi(ReadCommon(L"actnum", L"0"));
    if (actnum >= 7 || acttime == today)
        return;
    if (actnum == 0)
        ReportAdInfo(L"active1");
    else if (actnum == 2)
        ReportAdInfo(L"active3");
    else if (actnum == 6)
        ReportAdInfo(L"active7");
    WriteConfigValues({{L"Common", L"acttime", Decimal(today)}, {L"Common", L"actnum", Decimal(actnum + 1)}},
                      CommonIni());
}

void RemindSetHomePage(HWND owner)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const CString today = DateText(now);
    const CString check = ReadCommon(L"CheckHomeDate", L"");
    const CString install = ReadCommon(L"InstallDate", L"");
    if (install.IsEmpty()) {
        WriteConfigValues({{L"Common", L"InstallDate", today}, {L"Common", L"CheckHomeDate", L"1970|1|1"}},
                          CommonIni());
        return;
    }
    if (install == today)
        return;
    if (check.Find(L"|") < 0) {
        WriteCommon(L"CheckHomeDate", today);
        return;
    }
    std::vector<CString> parts;
    SplitString(check, L"|", parts, 0, L"");
    if (parts.size() != 3)
        return;
    std::tm midnight = {};
    midnight.tm_year = _wtoi(parts[0]) - 1900;
    midnight.tm_mon = _wtoi(parts[1]) - 1;
    midnight.tm_mday = _wtoi(parts[2]);
    midnight.tm_isdst = -1;
    const time_t t = mktime(&midnight);
    const time_t elapsed = time(nullptr) - t;
    // A date mktime cannot place (before 1970 in local time) counts as long ago.
    if (t != static_cast<time_t>(-1) && (elapsed < 0 || elapsed < kWeekSeconds))
        return;

    // The list comes from the web site on a worker; the pop-up opens here.
    const CString listUrl = StartPageListUrl();
    const bool asked = RunInBackground(owner, [listUrl, today] {
        auto choice = std::make_shared<StartPageChoice>();
        FetchStartPageList(listUrl, *choice);
        return [choice, today] {
            if (!choice->candidates.empty() && ReadCurrentStartPage(*choice) == 0)
                ShowSetHomePopup();
            WriteCommon(L"CheckHomeDate", today);
        };
    });
    if (!asked)
        WriteCommon(L"CheckHomeDate", today);
}
