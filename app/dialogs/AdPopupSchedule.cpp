#include "app/dialogs/AdPopupSchedule.h"

#include <ctime>
#include <memory>

#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/common/HttpText.h"
#include "app/common/ServerAddresses.h"
#include "app/common/TextUtils.h"
#include "app/common/WinInet.h"
#include "app/dialogs/AdStateWork.h"
#include "app/dialogs/WebDlg.h"
#include "app/mainwnd/MainDlgMessages.h"
#include "app/mainwnd/ProgramFlags.h"
#include "app/startup/CorvaneModule.h"
#include "base/Thread.h"

namespace {

constexpr DWORD kReplyLimit = 4096;
const wchar_t kSection[] = L"Common";

struct AdKeys {
    const wchar_t* dayKey;
    const wchar_t* stateKey;
    const wchar_t* timeKey;
};

CString ReadAdValue(const wchar_t* key)
{
    CString value;
    ReadConfigValue(kSection, key, AdSettingsFile(), L"0", MAX_PATH, value);
    return value;
}

// The reply's fields; none when the request failed or came back empty.
bool FetchFields(const CString& url, std::vector<CString>& fields)
{
    CString reply;
    if (!HttpGetText(url, reply, kReplyLimit))
        return false;
    // A reply written as a line ends with its line break.
    reply.TrimRight();
    if (reply.IsEmpty())
        return false;
    SplitString(reply, L" | ", fields, 0, L"");
    return true;
}

// A "name=value" field: the name before the first "=" and the value after it.
bool SplitNamedField(const CString& field, CString& name, CString& value)
{
    const int equals = field.Find(L'=');
    if (equals < 0)
        return false;
    name = field.Left(equals);
    value = field.Mid(equals + 1);
    return true;
}

// The value of a state field: the text between its first and second "=".
bool StateFieldValue(const CString& field, CString& name, CString& value)
{
    if (!SplitNamedField(field, name, value))
        return false;
    const int second = value.Find(L'=');
    if (second >= 0)
        value = value.Left(second);
    return true;
}

// At least a second; a delay longer than a timer can wait waits as long as it can.
UINT DelayMs(int seconds)
{
    const long long ms = (seconds < 1 ? 1LL : static_cast<long long>(seconds)) * 1000;
    return ms > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : static_cast<UINT>(ms);
}

} // namespace

CString AdSettingsFile()
{
    return _Module.m_strAppDir + L"Config\\ad.ini";
}

int TodayDayMark()
{
    const __time64_t now = _time64(nullptr);
    struct tm local = {};
    if (_localtime64_s(&local, &now) != 0)
        return 0;
    return (local.tm_mon + 1) * 100 + local.tm_mday;
}

bool TakeDayStamp(const CString& key, const CString& file, const CString& show)
{
    const int today = TodayDayMark();
    CString stored;
    ReadConfigValue(kSection, key, file, L"0", MAX_PATH, stored);
    if (today != _wtoi(stored) && show == L"1") {
        SaveDayStamp(today, key, file);
        return false;
    }
    return true;
}

void SaveDayStamp(int mark, const CString& key, const CString& file)
{
    CString text;
    text.Format(L"%d", mark);
    WriteConfigValue(kSection, key, text, file);
}

namespace {

// The state reply's fields taken: the stored values written, show and delay
// set when the pop-up is due.
bool TakeAdStateReply(const std::vector<CString>& fields, int& show, int& delay, int kind)
{
    const AdKeys keys = kind == kAdStateStart ? AdKeys{L"AdToDay", L"Min_state", L"Min_time"}
                                              : AdKeys{L"NewsToDay", L"NewsMin_state", L"NewsMin_time"};
    if (fields.size() != 6 || fields[0].Find(L"success") < 0)
        return false;
    CString names[6];
    CString values[6];
    for (size_t i = 1; i < 6; ++i)
        if (!StateFieldValue(fields[i], names[i], values[i]))
            return false;
    if (names[5] != L"isday")
        return false;

    // Once a day: only the reply that claims today shows; otherwise always.
    if (values[5] != L"1" || !TakeDayStamp(keys.dayKey, AdSettingsFile(), values[1])) {
        show = _wtoi(values[1]);
        delay = _wtoi(values[2]);
    }
    WriteConfigValue(kSection, keys.stateKey, values[3], AdSettingsFile());
    WriteConfigValue(kSection, keys.timeKey, values[4], AdSettingsFile());
    return true;
}

} // namespace

bool ParseAdStateReply(const CString& url, int& show, int& delay, int kind)
{
    std::vector<CString> fields;
    return FetchFields(url, fields) && TakeAdStateReply(fields, show, delay, kind);
}

bool ParsePopupReply(const CString& url, int& width, int& height, CString& page)
{
    std::vector<CString> fields;
    if (!FetchFields(url, fields) || fields.size() != 4 || fields[0].Find(L"success") < 0)
        return false;
    static const wchar_t* const kNames[] = {L"Width", L"Height", L"Url"};
    CString values[3];
    for (size_t i = 0; i < 3; ++i) {
        CString name;
        // The page address keeps its own "=" signs (a query string).
        if (!SplitNamedField(fields[i + 1], name, values[i]) || name != kNames[i] || values[i].IsEmpty())
            return false;
    }
    width = _wtoi(values[0]);
    height = _wtoi(values[1]);
    page = values[2];
    return true;
}

void QueryAdState(HWND mainWnd, int kind, const CString& url)
{
    std::vector<CString> fields;
    if (!FetchFields(url, fields))
        return;
    // A reply that comes as the program ends touches nothing of it.
    const CAdStateUse use;
    int show = 0;
    int delay = 0;
    if (use && TakeAdStateReply(fields, show, delay, kind) && show != 0)
        SetTimer(mainWnd, kind == kAdStateStart ? TIMER_START_POPUP : TIMER_NEWS_POPUP, DelayMs(delay),
                 nullptr);
}

void QueryAdStateThread(HWND mainWnd, int kind)
{
    QueryAdState(mainWnd, kind,
                 kind == kAdStateStart ? RAVONYX_WEB_SITE L"/api.php?op=ad_box&type=start&action=state"
                                       : RAVONYX_WEB_SITE L"/api.php?op=ad_box&type=news&action=state");
}

std::vector<DWORD> NetworkProbeSchedule()
{
    std::vector<DWORD> waits(6, 20000);
    waits.insert(waits.end(), 3, 600000);
    waits.push_back(1800000);
    return waits;
}

bool NetworkIsUp(const CString& probeUrl)
{
    DWORD state = 0;
    DWORD size = sizeof(state);
    if (!WinInetQueryOption(nullptr, INTERNET_OPTION_CONNECTED_STATE, &state, &size) ||
        !(state & INTERNET_STATE_CONNECTED))
        return false;
    return WinInetCheckConnection(probeUrl, FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
}

bool WaitForNetwork(const CString& probeUrl, const std::vector<DWORD>& waits)
{
    for (DWORD wait : waits) {
        if (NetworkIsUp(probeUrl))
            return true;
        // The wait ends with the program.
        if (WaitForAdStateEnd(wait))
            return false;
    }
    return false;
}

void WaitForNetworkThread(HWND mainWnd)
{
    if (!WaitForNetwork(RAVONYX_WEB_SITE L"/api.php?op=ad_box&type=news&action=state",
                        NetworkProbeSchedule()))
        return;
    const CAdStateUse use;
    if (!use)
        return;
    g_bOnline = TRUE;
    SetTimer(mainWnd, TIMER_RUN_REPORT, 60000, nullptr);
    if (_Module.m_nSubscription != 0)
        StartDetachedThread([mainWnd] { QueryAdStateThread(mainWnd, kAdStateNews); });
    if (_Module.m_nReceiveAd != 0)
        StartDetachedThread([mainWnd] { QueryAdStateThread(mainWnd, kAdStateStart); });
}

void ScheduleAdPopup(HWND mainWnd, int kind)
{
    const bool min = kind == kSchedulePopupMin;
    const AdKeys keys = min ? AdKeys{L"MinToDay", L"Min_state", L"Min_time"}
                            : AdKeys{L"NewsToDay", L"NewsMin_state", L"NewsMin_time"};
    if (ReadAdValue(keys.stateKey) != L"1")
        return;
    if (TakeDayStamp(keys.dayKey, AdSettingsFile(), L"1"))
        return;
    SetTimer(mainWnd, min ? TIMER_MIN_POPUP : TIMER_NEWS_REPEAT, DelayMs(_wtoi(ReadAdValue(keys.timeKey))),
             nullptr);
}

bool RequestWebPopup(HWND mainWnd, const wchar_t* type, UINT layoutId, int kind)
{
    CString url;
    url.Format(RAVONYX_WEB_SITE L"/api.php?op=ad_box&type=%s&action=info", type);
    return RequestWebPopupAt(mainWnd, url, layoutId, kind);
}

bool RequestWebPopupAt(HWND mainWnd, const CString& url, UINT layoutId, int kind)
{
    return RunInBackground(mainWnd, [url, layoutId, kind]() -> BackgroundReply {
        int width = 0;
        int height = 0;
        CString page;
        // A window without width or height shows nothing and would hold
        // the kind until the end of the run.
        if (!ParsePopupReply(url, width, height, page) || width <= 0 || height <= 0)
            return BackgroundReply();
        return [width, height, page, layoutId, kind] {
            // A window of the kind may have opened while the site answered.
            if (!(kind == kWebPopupAd ? g_bAdPopupOpen : g_bNewsDlgOpen))
                ShowWebPopup(width, height, page, layoutId, kind);
        };
    });
}

void ShowWebPopup(int width, int height, const CString& page, UINT layoutId, int kind)
{
    const CString second = _Module.m_strAppDir + kWebDlgFallbackPage;
    std::unique_ptr<CWebDlg> dialog;
    if (kind == kWebPopupAd)
        dialog = std::make_unique<CWebDlgForNewRb>(page, second, layoutId);
    else
        dialog = std::make_unique<CWebDlgForNew>(page, second);
    HWND hwnd = CWebDlg::OpenModeless(std::move(dialog));
    if (!hwnd)
        return; // no window: the kind stays free for the next try
    if (kind == kWebPopupAd) {
        g_bAdPopupOpen = TRUE;
        g_nAdPopupWidth = width;
        g_nAdPopupHeight = height;
        SetTimer(hwnd, CWebDlg::TIMER_SHOW_AD, 2000, nullptr);
    } else {
        g_bNewsDlgOpen = TRUE;
        SetTimer(hwnd, CWebDlg::TIMER_SHOW_NEWS, 5000, nullptr);
    }
}
