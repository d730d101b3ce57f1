// The two script objects driven as a page drives them: names, DISPIDs,
// property reads, method calls with integers, texts, references, too few
// arguments and wrong types, with recording handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser/BrowserExternal.h"
#include "app/browser/BrowserExternalRB.h"
#include "tests/app/browser/ScriptCall.h"

namespace {

constexpr WORD kCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

// Records each handler call as one line and answers with fixed results.
class CRecordingHandlers : public CBrowserExternalHandlers {
public:
    std::vector<std::wstring> calls;

    int StartDownLoadTask(int id, int kind) override { return Record(L"StartDownLoadTask", id, kind), 3; }
    CString GetDownloadPageCount(int a, int b, int c) override
    {
        Record(L"GetDownloadPageCount", a, b, c);
        return L"4|37";
    }
    CString LoadDownloadPage(int a, int b, int c) override
    {
        Record(L"LoadDownloadPage", a, b, c);
        return L"{\"id\":1}";
    }
    BOOL DeleteTask(int a, int b, int c) override { return Record(L"DeleteTask", a, b, c), FALSE; }
    void RunItem(int a, int b) override { Record(L"RunItem", a, b); }
    BOOL PauseTask(int a) override { return Record(L"PauseTask", a), TRUE; }
    BOOL AddItemAndDownload(HWND owner, int a, int b, int c) override
    {
        Record(L"AddItemAndDownload", a, b, c);
        owners.push_back(owner);
        return FALSE;
    }
    CString GetLocalItemStates(const CString& ids, int kind) override
    {
        calls.push_back(L"GetLocalItemStates " + Text(ids) + L" " + std::to_wstring(kind));
        return L"s";
    }
    void OpenContentPage(HWND owner, const CString& id, const CString& section) override
    {
        calls.push_back(L"OpenContentPage " + Text(id) + L" " + Text(section));
        owners.push_back(owner);
    }
    void ControlPageMove(HWND owner, int command, const CString& keyword) override
    {
        calls.push_back(L"ControlPageMove " + std::to_wstring(command) + L" " + Text(keyword));
        owners.push_back(owner);
    }
    CString GetRecommendedContent(int type) override
    {
        Record(L"GetRecommendedContent", type);
        return L"<li>";
    }

    std::vector<HWND> owners;

private:
    template <typename... Ints> void Record(const wchar_t* name, Ints... values)
    {
        std::wstring line = name;
        ((line += L" " + std::to_wstring(values)), ...);
        calls.push_back(line);
    }
};

class CRecordingPopup : public CScriptPopupOwner {
public:
    std::vector<int> closes;
    void ClosePopup(int value) override { closes.push_back(value); }
};

class BrowserExternalTest : public ::testing::Test {
protected:
    HWND owner = reinterpret_cast<HWND>(0x1234);
    CRecordingHandlers handlers;
    CBrowserExternal external;

    void SetUp() override { external.SetOwner(owner, &handlers); }

    DISPID Id(const wchar_t* name) { return DispIdOf(external, name); }
};

TEST_F(BrowserExternalTest, NamesHaveTheirFixedDispIdsAndAreCaseSensitive)
{
    const struct {
        const wchar_t* name;
        DISPID id;
    } table[] = {
        {L"Ex_StartDownLoad", 2},    {L"Ex_GetPageCount", 3},    {L"Ex_LoadDLFile", 4},
        {L"Ex_DelTask", 5},          {L"Ex_RunGame", 6},         {L"Ex_PauseTask", 7},
        {L"Ex_DLGameInfo", 8},       {L"Ex_GetLocalGameIDs", 9}, {L"Ex_OpenContentPage", 11},
        {L"Ex_ControlPageMove", 12}, {L"Ex_RefContent", 13},
    };
    for (const auto& entry : table) {
        HRESULT hr = E_FAIL;
        EXPECT_EQ(entry.id, DispIdOf(external, entry.name, &hr)) << entry.name;
        EXPECT_EQ(S_OK, hr);
    }
    for (const wchar_t* unknown : {L"ex_startdownload", L"Ex_CloseRbPopDlg", L"", L"Ex_StartDownLoad "}) {
        HRESULT hr = S_OK;
        EXPECT_EQ(DISPID_UNKNOWN, DispIdOf(external, unknown, &hr)) << unknown;
        EXPECT_EQ(DISP_E_UNKNOWNNAME, hr);
    }
}

TEST_F(BrowserExternalTest, EveryNameIsLookedUpAndANullNameIsEmpty)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Ex_RefContent"), nullptr, const_cast<LPOLESTR>(L"Ex_DelTask")};
    DISPID ids[3] = {0, 0, 0};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, external.GetIDsOfNames(IID_NULL, names, 3, 0, ids));
    EXPECT_EQ(13, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    EXPECT_EQ(5, ids[2]);
    EXPECT_EQ(S_OK, external.GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr));
}

TEST_F(BrowserExternalTest, SmallNameValuesAreStringResourcesOfTheProgram)
{
    // 101 holds "Ex_RunGame", 102 the same in lower case, 103 nothing.
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(MAKEINTRESOURCEW(101)),
                        reinterpret_cast<LPOLESTR>(MAKEINTRESOURCEW(102)),
                        reinterpret_cast<LPOLESTR>(MAKEINTRESOURCEW(103))};
    DISPID ids[3] = {0, 0, 0};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, external.GetIDsOfNames(IID_NULL, names, 3, 0, ids));
    EXPECT_EQ(6, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[2]);
}

TEST_F(BrowserExternalTest, OnlyIDispatchIsHandedOutAndReleaseNeverFrees)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, external.QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, external.QueryInterface(IID_IDispatch, &out));
    EXPECT_EQ(static_cast<IDispatch*>(&external), out);
    EXPECT_EQ(0u, external.Release());
    EXPECT_EQ(static_cast<ULONG>(-1), external.Release());
    // Still usable below zero.
    EXPECT_EQ(2, Id(L"Ex_StartDownLoad"));
    UINT count = 7;
    EXPECT_EQ(E_NOTIMPL, external.GetTypeInfoCount(&count));
}

TEST_F(BrowserExternalTest, PropertyReadsGiveTheDefaultsAndRunNothing)
{
    const struct {
        DISPID id;
        VARTYPE vt;
        int value; // VT_INT and VT_BOOL
    } table[] = {
        {2, VT_INT, 0},    {3, VT_BSTR, 0},   {4, VT_BSTR, 0},  {5, VT_BOOL, 1},
        {6, VT_BOOL, 1},   {7, VT_BOOL, 1},   {8, VT_BOOL, 1},  {9, VT_BSTR, 0},
        {11, VT_EMPTY, 0}, {12, VT_EMPTY, 0}, {13, VT_BSTR, 0},
    };
    for (const auto& entry : table) {
        CComVariant result;
        EXPECT_EQ(S_OK, CScriptCall({1, 2, 3}).Invoke(external, entry.id, DISPATCH_PROPERTYGET, &result));
        EXPECT_EQ(entry.vt, result.vt) << entry.id;
        if (entry.vt == VT_INT) {
            EXPECT_EQ(entry.value, result.intVal);
        }
        if (entry.vt == VT_BOOL) {
            EXPECT_EQ(entry.value, result.boolVal) << "the value 1, not VARIANT_TRUE";
        }
        if (entry.vt == VT_BSTR) {
            ASSERT_NE(nullptr, result.bstrVal);
            EXPECT_EQ(0u, SysStringLen(result.bstrVal));
        }
    }
    EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(BrowserExternalTest, CallsReachTheHandlersInScriptOrderWithTheirResults)
{
    const struct {
        DISPID id;
        std::vector<CComVariant> args;
        const wchar_t* call;
        VARTYPE vt;
        int value;
        const wchar_t* text;
    } table[] = {
        {2, {CComVariant(17), CComVariant(2)}, L"StartDownLoadTask 17 2", VT_INT, 3, nullptr},
        {3,
         {CComVariant(10), CComVariant(1), CComVariant(2)},
         L"GetDownloadPageCount 10 1 2",
         VT_BSTR,
         0,
         L"4|37"},
        {4,
         {CComVariant(2), CComVariant(0), CComVariant(1)},
         L"LoadDownloadPage 2 0 1",
         VT_BSTR,
         0,
         L"{\"id\":1}"},
        {5, {CComVariant(9), CComVariant(2), CComVariant(1)}, L"DeleteTask 9 2 1", VT_BOOL, 0, nullptr},
        {6, {CComVariant(9), CComVariant(2)}, L"RunItem 9 2", VT_BOOL, 1, nullptr},
        {7, {CComVariant(9)}, L"PauseTask 9", VT_BOOL, 1, nullptr},
        {8,
         {CComVariant(5), CComVariant(2), CComVariant(1)},
         L"AddItemAndDownload 5 2 1",
         VT_BOOL,
         0,
         nullptr},
        {9, {CComVariant(L"3,4,5"), CComVariant(1)}, L"GetLocalItemStates 3,4,5 1", VT_BSTR, 0, L"s"},
        {11, {CComVariant(L"88"), CComVariant(L"bizhi")}, L"OpenContentPage 88 bizhi", VT_EMPTY, 0, nullptr},
        {12, {CComVariant(4), CComVariant(L"山水")}, L"ControlPageMove 4 山水", VT_EMPTY, 0, nullptr},
        {13, {CComVariant(2)}, L"GetRecommendedContent 2", VT_BSTR, 0, L"<li>"},
    };
    for (const auto& entry : table) {
        handlers.calls.clear();
        std::vector<CComVariant> reversed(entry.args.rbegin(), entry.args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        CComVariant result;
        EXPECT_EQ(S_OK, external.Invoke(entry.id, IID_NULL, 0, kCall, &params, &result, nullptr, nullptr));
        ASSERT_EQ(1u, handlers.calls.size()) << entry.id;
        EXPECT_EQ(entry.call, handlers.calls[0]);
        ASSERT_EQ(entry.vt, result.vt) << entry.id;
        if (entry.vt == VT_INT) {
            EXPECT_EQ(entry.value, result.intVal);
        }
        if (entry.vt == VT_BOOL) {
            EXPECT_EQ(entry.value, result.boolVal) << entry.id;
        }
        if (entry.vt == VT_BSTR) {
            EXPECT_STREQ(entry.text, result.bstrVal);
        }
    }
    // The handlers that take the owner window get the main window first.
    EXPECT_EQ(std::vector<HWND>(3, owner), handlers.owners);
}

TEST_F(BrowserExternalTest, ArgumentsAreReadThroughReferencesAndConverted)
{
    // A page may hand over references, strings of digits for numbers and
    // numbers for strings; all arrive whole (a 64-bit BSTR pointer included).
    CComVariant id(21);
    CComVariant kind(L"2");
    VARIANT byRefId;
    byRefId.vt = VT_BYREF | VT_VARIANT;
    byRefId.pvarVal = &id;
    BSTR ids = SysAllocString(L"7,8");
    VARIANT byRefIds;
    byRefIds.vt = VT_BYREF | VT_BSTR;
    byRefIds.pbstrVal = &ids;

    VARIANT args[2] = {kind, byRefId}; // last-first
    DISPPARAMS params = {args, nullptr, 2, 0};
    CComVariant result;
    external.Invoke(2, IID_NULL, 0, kCall, &params, &result, nullptr, nullptr);
    VARIANT args2[2] = {CComVariant(12), byRefIds};
    DISPPARAMS params2 = {args2, nullptr, 2, 0};
    external.Invoke(9, IID_NULL, 0, kCall, &params2, &result, nullptr, nullptr);
    VariantClear(&args2[0]);
    SysFreeString(ids);
    CScriptCall({CComVariant(8), CComVariant(45)}).Invoke(external, 12, kCall, &result);

    EXPECT_EQ((std::vector<std::wstring>{L"StartDownLoadTask 21 2", L"GetLocalItemStates 7,8 12",
                                         L"ControlPageMove 8 45"}),
              handlers.calls);
}

TEST_F(BrowserExternalTest, BadCallsRunNoHandlerAndKeepTheDefault)
{
    CComVariant undefinedArg; // VT_EMPTY: what a page's undefined gives
    VARIANT nullArg;
    nullArg.vt = VT_NULL;
    struct Case {
        const char* what;
        DISPID id;
        std::vector<CComVariant> args;
    };
    const Case table[] = {
        {"no arguments", 2, {}},
        {"one of two", 2, {CComVariant(1)}},
        {"two of three", 8, {CComVariant(1), CComVariant(2)}},
        {"text for a number", 7, {CComVariant(L"abc")}},
        {"undefined", 5, {CComVariant(1), undefinedArg, CComVariant(1)}},
        {"null", 13, {CComVariant(nullArg)}},
        {"a missing text", 11, {CComVariant(L"5")}},
    };
    for (const Case& c : table) {
        std::vector<CComVariant> reversed(c.args.rbegin(), c.args.rend());
        DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                             static_cast<UINT>(reversed.size()), 0};
        CComVariant result;
        EXPECT_EQ(S_OK, external.Invoke(c.id, IID_NULL, 0, kCall, &params, &result, nullptr, nullptr))
            << c.what;
        CComVariant expected;
        CScriptCall().Invoke(external, c.id, DISPATCH_PROPERTYGET, &expected);
        EXPECT_EQ(expected.vt, result.vt) << c.what;
    }
    // A null parameter block, and DISPIDs outside the table.
    CComVariant result;
    EXPECT_EQ(S_OK, external.Invoke(2, IID_NULL, 0, kCall, nullptr, &result, nullptr, nullptr));
    EXPECT_EQ(VT_INT, result.vt);
    for (DISPID id : {1, 10, 14, -1}) {
        CComVariant untouched;
        EXPECT_EQ(S_OK, CScriptCall({1, 2, 3}).Invoke(external, id, kCall, &untouched));
        EXPECT_EQ(VT_EMPTY, untouched.vt) << id;
    }
    EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(BrowserExternalTest, ACallWithoutAResultVariantStillRunsTheHandler)
{
    CScriptCall({CComVariant(3)}).Invoke(external, 7, DISPATCH_METHOD, nullptr);
    EXPECT_EQ(std::vector<std::wstring>{L"PauseTask 3"}, handlers.calls);
}

TEST(BrowserExternalOwnerless, HandlersDoNothingYetAndAnswerTheDefaults)
{
    // Without an owner every call answers exactly what a property read gives.
    CBrowserExternal external;
    const struct {
        DISPID id;
        std::vector<CComVariant> args;
    } table[] = {
        {2, {CComVariant(1), CComVariant(1)}},
        {3, {1, 0, 1}},
        {4, {1, 0, 1}},
        {5, {1, 2, 1}},
        {7, {1}},
        {8, {1, 2, 1}},
        {9, {CComVariant(L"1"), CComVariant(1)}},
        {13, {1}},
    };
    for (const auto& entry : table) {
        std::vector<CComVariant> reversed(entry.args.rbegin(), entry.args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        CComVariant called;
        external.Invoke(entry.id, IID_NULL, 0, kCall, &params, &called, nullptr, nullptr);
        CComVariant read;
        CScriptCall().Invoke(external, entry.id, DISPATCH_PROPERTYGET, &read);
        EXPECT_EQ(read.vt, called.vt) << entry.id;
        EXPECT_TRUE(called.vt != VT_INT || called.intVal == read.intVal) << entry.id;
        EXPECT_TRUE(called.vt != VT_BOOL || called.boolVal == read.boolVal) << entry.id;
        EXPECT_TRUE(called.vt != VT_BSTR || SysStringLen(called.bstrVal) == 0) << entry.id;
    }
}

TEST(BrowserExternalRB, CloseRequestReachesTheLastOwnerOnly)
{
    CBrowserExternalRB external;
    HRESULT hr = E_FAIL;
    EXPECT_EQ(10, DispIdOf(external, L"Ex_CloseRbPopDlg", &hr));
    EXPECT_EQ(S_OK, hr);
    for (const wchar_t* name : {L"Ex_StartDownLoad", L"ex_closerbpopdlg"})
        EXPECT_EQ(DISPID_UNKNOWN, DispIdOf(external, name));
    void* out = nullptr;
    EXPECT_EQ(E_NOINTERFACE, external.QueryInterface(IID_IUnknown, &out));

    // No owner: nothing happens, and the call still answers.
    CComVariant result;
    EXPECT_EQ(S_OK, CScriptCall({CComVariant(1)}).Invoke(external, 10, kCall, &result));
    EXPECT_EQ(VT_BOOL, result.vt);
    EXPECT_EQ(1, result.boolVal);

    CRecordingPopup first;
    CRecordingPopup second;
    external.SetOwner(&first);
    external.SetOwner(&second);
    CScriptCall({CComVariant(L"0")}).Invoke(external, 10, kCall, &result);
    CScriptCall().Invoke(external, 10, kCall, &result);                    // missing argument
    CScriptCall({CComVariant(L"x")}).Invoke(external, 10, kCall, &result); // not a number
    CScriptCall({CComVariant(1)}).Invoke(external, 10, DISPATCH_PROPERTYGET, &result);
    CScriptCall({CComVariant(1)}).Invoke(external, 2, kCall, &result);
    EXPECT_TRUE(first.closes.empty());
    EXPECT_EQ(std::vector<int>{0}, second.closes);

    // A pop-up going away lets go only of what it set.
    external.ClearOwner(&first);
    EXPECT_EQ(&second, external.Owner());
    external.ClearOwner(&second);
    EXPECT_EQ(nullptr, external.Owner());
}

} // namespace
