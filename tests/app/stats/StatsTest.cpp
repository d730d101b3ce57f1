// Usage reports, the count of active days, the weekly start-page check and
// the start page in the registry, against the test server and Wine's real
// registry. Dates are written relative to the day the test runs.
#include "app/catalog/CatalogSites.h"
#include "app/common/BackgroundWork.h"
#include "app/common/ConfigCodec.h"
#include "app/startup/CorvaneModule.h"
#include "app/stats/StartPage.h"
#include "app/stats/UsageStats.h"
#include "tests/app/startup/RegistryHelpers.h"
#include "tests/support/Responsiveness.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kInstallKey[] = L"SOFTWARE\\Ravonyx";
const wchar_t kUserMain[] = L"Software\\Microsoft\\Internet Explorer\\Main\\";
const wchar_t kMachineMain[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Main\\";

std::string Narrow(const CString& text)
{
    return text.ToUtf8();
}

// The request lines the server saw for "/api.php", in order.
std::vector<std::string> ApiRequestLines()
{
    std::vector<std::string> lines;
    for (const std::string& request : CTestServer::Instance().Requests("/api.php"))
        lines.push_back(request.substr(0, request.find("\r\n")));
    return lines;
}

std::string ReportLine(const char* action, const char* sid, const char* mac)
{
    return std::string("GET /api.php?op=postadinfo_box&action=") + action + "&sid=" + sid + "&mac=" + mac +
           " HTTP/1.1";
}

SYSTEMTIME DaysFromToday(int days)
{
    time_t when = time(nullptr) + static_cast<time_t>(days) * 86400;
    std::tm local = *localtime(&when);
    SYSTEMTIME out = {};
    out.wYear = static_cast<WORD>(local.tm_year + 1900);
    out.wMonth = static_cast<WORD>(local.tm_mon + 1);
    out.wDay = static_cast<WORD>(local.tm_mday);
    return out;
}

// Saves a registry value on entry and puts it back (or removes it) on exit.
class SavedValue {
public:
    SavedValue(HKEY root, const wchar_t* key, const wchar_t* name) : m_root(root), m_key(key), m_name(name)
    {
        m_present = ReadRegString(root, key, name, m_value) == ERROR_SUCCESS;
    }
    ~SavedValue()
    {
        if (m_present)
            Set(m_value);
        else
            Remove();
    }
    void Set(const CString& value) const
    {
        ASSERT_EQ(SetRegValue(m_root, m_key, m_name, REG_SZ, value.GetString(),
                              static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    // Stores the characters without a terminating zero.
    void SetUnterminated(const CString& value) const
    {
        ASSERT_EQ(SetRegValue(m_root, m_key, m_name, REG_SZ, value.GetString(),
                              static_cast<DWORD>(value.GetLength() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void Remove() const
    {
        HKEY raw = nullptr;
        if (RegOpenKeyExW(m_root, m_key, 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS) {
            CRegKey key(raw);
            RegDeleteValueW(key, m_name);
        }
    }
    CString Read() const
    {
        CString value = L"<none>";
        ReadRegString(m_root, m_key, m_name, value);
        return value;
    }

private:
    HKEY m_root;
    const wchar_t* m_key;
    const wchar_t* m_name;
    bool m_present = false;
    CString m_value;
};

class StatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestServer::Instance().Reset();
        m_savedAppDir = _Module.m_strAppDir;
        _Module.m_strAppDir = m_folder.Path();
        MakeFolderFor(Ini());
        m_savedSites = GetCatalogSites();
        CatalogSites sites = m_savedSites;
        sites.webSite = CTestServer::Instance().Url("");
        SetCatalogSites(sites);
    }
    void TearDown() override
    {
        SetCatalogSites(m_savedSites);
        _Module.m_strAppDir = m_savedAppDir;
    }

    CString Ini() const { return m_folder / L"Config\\common.ini"; }
    void Store(const wchar_t* key, const CString& value)
    {
        ASSERT_NE(WriteConfigValue(L"Common", key, value, Ini()), 0);
    }
    CString Stored(const wchar_t* key) const
    {
        CString value;
        ReadConfigValue(L"Common", key, Ini(), L"<none>", 260, value);
        return value;
    }
    // The requests run on workers: waits for them and takes their replies.
    static void Settle()
    {
        ASSERT_TRUE(WaitForBackgroundWork(20000));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    static void ServeStartPages(const std::string& body)
    {
        CTestServer::Instance().AddRoute(R"({"path": "/api.php?op=gethome_box&act=gethome", "body": ")" +
                                         body + R"("})");
    }

    CTempFolder m_folder;
    CString m_savedAppDir;
    CatalogSites m_savedSites;
    SavedValue m_sid{HKEY_LOCAL_MACHINE, kInstallKey, L"ShopsId"};
    SavedValue m_mac{HKEY_LOCAL_MACHINE, kInstallKey, L"Mac"};
};

TEST_F(StatsTest, ReportCarriesTheChannelValuesOrTheirDefaults)
{
    const CString longText(L'7', 300);
    const struct {
        const wchar_t* sid; // null: absent
        bool sidTerminated;
        const wchar_t* mac;
        const char* expectedSid;
        const char* expectedMac;
    } rows[] = {
        {L"1024", true, L"00-1A-2B-3C-4D-5E", "1024", "00-1A-2B-3C-4D-5E"},
        {nullptr, true, nullptr, "0", "00-00-00-00-00-00"},
        // Stored without a terminator: read as the characters stored.
        {L"88", false, L"AA-BB-CC-DD-EE-FF", "88", "AA-BB-CC-DD-EE-FF"},
        // Longer than the value buffer: not read at all, never cut.
        {longText.GetString(), true, L"AA-BB", "0", "AA-BB"},
        {longText.GetString(), false, nullptr, "0", "00-00-00-00-00-00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expectedSid);
        CTestServer::Instance().Reset();
        if (!row.sid)
            m_sid.Remove();
        else if (row.sidTerminated)
            m_sid.Set(row.sid);
        else
            m_sid.SetUnterminated(row.sid);
        if (row.mac)
            m_mac.Set(row.mac);
        else
            m_mac.Remove();
        ReportAdInfo(L"normalrun");
        Settle();
        EXPECT_EQ(ApiRequestLines(),
                  std::vector<std::string>{ReportLine("normalrun", row.expectedSid, row.expectedMac)});
    }
}

TEST_F(StatsTest, ActiveDaysAreCountedOnceADayAndReportedOnTheFirstThirdAndSeventh)
{
    m_sid.Set(L"5");
    m_mac.Set(L"M");
    const SYSTEMTIME now = DaysFromToday(0);
    const CString today = [&] {
        CString text;
        text.Format(L"%d", DayMark(now));
        return text;
    }();

    // A fresh file: the first day is reported, a second call that day is not.
    CountActiveDay();
    Settle();
    CountActiveDay();
    Settle();
    EXPECT_EQ(ApiRequestLines(), std::vector<std::string>{ReportLine("active1", "5", "M")});
    EXPECT_EQ(Stored(L"acttime"), today);
    EXPECT_EQ(Stored(L"actnum"), L"1");

    // Later days: the last counted day was another one.
    const struct {
        const wchar_t* actnum;
        const char* report; // null: none
        const wchar_t* after;
    } rows[] = {
        {L"1", nullptr, L"2"}, {L"2", "active3", L"3"}, {L"3", nullptr, L"4"}, {L"4", nullptr, L"5"},
        {L"5", nullptr, L"6"}, {L"6", "active7", L"7"}, {L"7", nullptr, L"7"}, {L"12", nullptr, L"12"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.actnum));
        CTestServer::Instance().Reset();
        Store(L"acttime", L"1301"); // no real day
        Store(L"actnum", row.actnum);
        CountActiveDay();
        Settle();
        std::vector<std::string> expected;
        if (row.report)
            expected.push_back(ReportLine(row.report, "5", "M"));
        EXPECT_EQ(ApiRequestLines(), expected);
        EXPECT_EQ(Stored(L"actnum"), row.after);
        EXPECT_EQ(Stored(L"acttime"), CString(row.after) == CString(row.actnum) ? CString(L"1301") : today);
    }
}

TEST_F(StatsTest, StartPageCheckRunsOnceAWeekAndNeverOnTheInstallDay)
{
    const CString today = DateText(DaysFromToday(0));
    const CString yesterday = DateText(DaysFromToday(-1));
    const CString sixDays = DateText(DaysFromToday(-6));
    const CString sevenDays = DateText(DaysFromToday(-7));
    const CString tomorrow = DateText(DaysFromToday(1));
    // No candidates: the check asks the web site but shows nothing.
    ServeStartPages("0");
    const struct {
        const wchar_t* label;
        CString install; // empty: absent
        CString check;   // empty: absent
        bool asks;
        CString installAfter;
        CString checkAfter;
    } rows[] = {
        {L"no install date", L"", L"2001|1|1", false, today, L"1970|1|1"},
        {L"installed today", today, L"1970|11|11", false, today, L"1970|11|11"},
        {L"check without separator", yesterday, L"garbage", false, yesterday, today},
        {L"check of two parts", yesterday, L"2001|1", false, yesterday, L"2001|1"},
        {L"six days ago", yesterday, sixDays, false, yesterday, sixDays},
        {L"seven days ago", yesterday, sevenDays, true, yesterday, today},
        {L"in the future", yesterday, tomorrow, false, yesterday, tomorrow},
        {L"first-start seed", yesterday, L"1970|11|11", true, yesterday, today},
        {L"lost-date seed", yesterday, L"1970|1|1", true, yesterday, today},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.label));
        CTestServer::Instance().Reset();
        ServeStartPages("0");
        WriteFileBytes(Ini(), "");
        if (!row.install.IsEmpty())
            Store(L"InstallDate", row.install);
        if (!row.check.IsEmpty())
            Store(L"CheckHomeDate", row.check);
        RemindSetHomePage(nullptr);
        Settle();
        EXPECT_EQ(ApiRequestLines().size(), row.asks ? 1u : 0u);
        if (row.asks) {
            EXPECT_EQ(ApiRequestLines()[0], "GET /api.php?op=gethome_box&act=gethome HTTP/1.1");
        }
        EXPECT_EQ(Stored(L"InstallDate"), row.installAfter);
        EXPECT_EQ(Stored(L"CheckHomeDate"), row.checkAfter);
    }
}

// A slow web site never holds up the window that reports or checks: the
// requests run on workers, and what follows the reply (the check date) comes
// once the site has answered.
TEST_F(StatsTest, ASlowSiteLeavesTheWindowAnswering)
{
    HWND window =
        CreateWindowExW(0, L"STATIC", L"reports", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const CString yesterday = DateText(DaysFromToday(-1));
    const CString today = DateText(DaysFromToday(0));
    const struct {
        const char* name;
        std::function<void()> call;
    } calls[] = {
        {"usage report", [] { ReportAdInfo(L"showrun"); }},
        {"start-page check", [&] { RemindSetHomePage(window); }},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.name);
        CTestServer::Instance().Reset();
        CTestServer::Instance().AddRoute(R"({"path": "/api.php", "stall": 4, "body": "0"})");
        Store(L"InstallDate", yesterday);
        Store(L"CheckHomeDate", L"2001|1|1");
        EXPECT_TRUE(WindowAnswersWhileRequestRuns(window, "/api.php", c.call));
        Settle();
        EXPECT_EQ(ApiRequestLines().size(), 1u);
    }
    EXPECT_EQ(Stored(L"CheckHomeDate"), today);
    DestroyWindow(window);
}

// The main window closes while the site is still answering the start-page
// check: the answer is dropped, no pop-up opens for a program that is
// ending, and the check is not marked done, so the next start makes it again.
TEST_F(StatsTest, AStartPageAnswerAfterTheWindowClosedIsDropped)
{
    HWND window =
        CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ServeStartPages("success | _start:http://nav.example/::0");
    Store(L"InstallDate", DateText(DaysFromToday(-1)));
    Store(L"CheckHomeDate", L"2001|1|1");
    RemindSetHomePage(window);
    DestroyWindow(window);
    Settle();
    EXPECT_EQ(ApiRequestLines().size(), 1u);
    EXPECT_EQ(Stored(L"CheckHomeDate"), L"2001|1|1");
}

TEST(StartPageList, RepliesAreParsedIntoDefaultAndCandidates)
{
    using Pairs = std::vector<std::pair<CString, CString>>;
    const struct {
        const wchar_t* reply;
        const wchar_t* defaultUrl;
        Pairs candidates;
    } rows[] = {
        {L"success | _start:http://a/::0,http://b/::home,http://c/::2,http://d/::1",
         L"http://a/",
         {{L"http://a/", L"1"}, {L"http://b/", L"home"}, {L"http://d/", L"1"}}},
        {L"", L"", {}},
        {L"0", L"", {}},
        {L"success | http://a/::1", L"", {}},
        {L"_start:", L"", {}},
        // Pieces without "::", or with an empty url or flag, are skipped.
        {L"_start:nourl,::1,http://e/::,http://f/::1", L"", {{L"http://f/", L"1"}}},
        // The text after the first "::" is the flag, "::" and all.
        {L"_start:http://g/::x::y", L"", {{L"http://g/", L"x::y"}}},
        // A later default replaces an earlier one; both stay candidates.
        {L"_start:http://h/::0,http://i/::0", L"http://i/", {{L"http://h/", L"1"}, {L"http://i/", L"1"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.reply));
        StartPageChoice choice;
        ParseStartPageList(row.reply, choice);
        EXPECT_EQ(choice.defaultUrl, CString(row.defaultUrl));
        EXPECT_EQ(choice.candidates, row.candidates);
    }
}

// A list cut short (longer than the read, its connection gone before the
// announced length, or a NUL byte in it) offers nothing: its last page
// could be any prefix of the address the site meant.
TEST_F(StatsTest, ACutStartPageListOffersNothing)
{
    const std::string list = "success | _start:http://a.example/::0,http://b.example/::1";
    const std::string padding(5000, 'x');
    const struct {
        const char* path;
        std::string route;
    } rows[] = {
        {"/long", R"({"path": "/long", "body": ")" + list + padding + R"("})"},
        {"/dropped", R"({"path": "/dropped", "body": ")" + list + padding + R"(", "drop_after": 40})"},
        // The list, a NUL byte, then more.
        {"/nul", R"({"path": "/nul", "body": ")" + list + R"(\u0000,http://c.example/::0"})"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        CTestServer::Instance().AddRoute(row.route);
        StartPageChoice choice;
        FetchStartPageList(CTestServer::Instance().Url(row.path), choice);
        EXPECT_TRUE(choice.defaultUrl.IsEmpty());
        EXPECT_TRUE(choice.candidates.empty());
    }
}

class StartPageTest : public StatsTest {
protected:
    SavedValue m_user{HKEY_CURRENT_USER, kUserMain, L"Start Page"};
    SavedValue m_machine{HKEY_LOCAL_MACHINE, kMachineMain, L"Start Page"};
};

TEST_F(StartPageTest, CurrentPageDecidesAgainstTheListInOrder)
{
    m_machine.Set(L"about:blank");
    const CString longOwn = CString(L"http://own.example/?") + CString(L'q', 400);
    const struct {
        const wchar_t* current;
        int result;
        const wchar_t* chosen;
    } rows[] = {
        // An own page wins before any marker is tested.
        {L"http://own.example/start", 1, L""},
        {L"http://search.example/?from=mark1", 0, L"http://one.example/"},
        // The first matching marker wins.
        {L"mark1 mark2", 0, L"http://one.example/"},
        // A marker whose url is already in the page is passed over.
        {L"http://one.example/?mark1 mark2", 0, L"http://two.example/"},
        {L"http://elsewhere.example/", 0, L""},
        // A page longer than 255 bytes is still read where it is.
        {longOwn.GetString(), 1, L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.current));
        m_user.Set(row.current);
        StartPageChoice choice;
        ParseStartPageList(L"_start:http://own.example/::1,http://one.example/::mark1,"
                           L"http://two.example/::mark2,http://def.example/::0",
                           choice);
        EXPECT_EQ(ReadCurrentStartPage(choice), row.result);
        EXPECT_EQ(choice.fromUser, 1);
        EXPECT_EQ(choice.chosenUrl, CString(row.chosen));
    }
}

TEST_F(StartPageTest, PageIsWrittenBackToTheHiveItWasReadFrom)
{
    ServeStartPages("success | _start:http://nav.example/::0,http://alt.example/::portal");
    const struct {
        const wchar_t* label;
        const wchar_t* user; // null: absent
        const wchar_t* machine;
        const wchar_t* userAfter;
        const wchar_t* machineAfter;
    } rows[] = {
        {L"user page", L"http://portal.example/", L"http://m.example/", L"http://alt.example/",
         L"http://m.example/"},
        {L"user page, no marker", L"http://x.example/", L"http://m.example/", L"http://nav.example/",
         L"http://m.example/"},
        {L"machine page", nullptr, L"http://portal.example/", L"<none>", L"http://alt.example/"},
        {L"machine page, no marker", nullptr, L"about:blank", L"<none>", L"http://nav.example/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.label));
        if (row.user)
            m_user.Set(row.user);
        else
            m_user.Remove();
        m_machine.Set(row.machine);
        ApplyStartPage();
        EXPECT_EQ(m_user.Read(), CString(row.userAfter));
        EXPECT_EQ(m_machine.Read(), CString(row.machineAfter));
    }
}

TEST_F(StartPageTest, NothingIsWrittenWithoutAnAnswer)
{
    m_user.Set(L"http://mine.example/");
    const char* replies[] = {"0", "", "success | no list"};
    for (const char* reply : replies) {
        SCOPED_TRACE(reply);
        ServeStartPages(reply);
        ApplyStartPage();
        EXPECT_EQ(m_user.Read(), L"http://mine.example/");
    }
    StartPageChoice empty;
    EXPECT_FALSE(WriteStartPage(empty));
}

} // namespace
