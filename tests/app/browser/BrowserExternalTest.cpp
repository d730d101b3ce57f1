// The two script objects driven as a page drives them: names, DISPIDs,
// property reads, method calls with integers, texts, references, too few
// arguments and wrong types, with recording handlers.
#include <gtest/gtest.h>

#include <windows.h>

#include <dispex.h>

#include <cmath>
#include <limits>
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
    // The calling page; only kOwnPage is the program's. The engine's
    // service provider of each call is kept.
    bool IsProgramPageCall(IServiceProvider* provider) override
    {
        ++callerAsked;
        providers.push_back(provider);
        return caller == kOwnPage;
    }

    static constexpr const wchar_t* kOwnPage = L"http://own.example/zhuti/";
    CString caller = kOwnPage;
    int callerAsked = 0;
    std::vector<IServiceProvider*> providers;
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

// A call in script order; the block it makes holds the arguments last-first,
// after the named ones.
struct CCall {
    std::vector<CComVariant> args;
    std::vector<DISPID> named = {};
    std::vector<CComVariant> namedValues = {};

    HRESULT Invoke(IDispatch& object, DISPID id, WORD flags, VARIANT* result, UINT* argError = nullptr)
    {
        block.assign(namedValues.begin(), namedValues.end());
        block.insert(block.end(), args.rbegin(), args.rend());
        DISPPARAMS params = {block.empty() ? nullptr : block.data(), named.empty() ? nullptr : named.data(),
                             static_cast<UINT>(block.size()), static_cast<UINT>(named.size())};
        return object.Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, argError);
    }
    std::vector<CComVariant> block;
};

// A VARIANT holding the object, as a page passes one (the VARIANT's own
// reference).
CComVariant Object(IDispatch* object)
{
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return CComVariant(v); // copies, taking a reference
}

CComVariant Double(double value)
{
    CComVariant v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

const std::wstring kLongText(10000, L'7');

TEST_F(BrowserExternalTest, MalformedCallsAreRefusedWithTheirErrorAndRunNothing)
{
    CComVariant undefinedArg; // VT_EMPTY: what a page's undefined gives
    VARIANT nullArg;
    nullArg.vt = VT_NULL;
    CComVariant object = Object(&external);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        DISPID id;
        std::vector<CComVariant> args;
        HRESULT hr;
        UINT argError; // index in the block, last-first
    };
    const Case table[] = {
        {"no arguments", 2, {}, DISP_E_BADPARAMCOUNT, 99},
        {"one of two", 2, {CComVariant(1)}, DISP_E_BADPARAMCOUNT, 99},
        {"two of three", 8, {CComVariant(1), CComVariant(2)}, DISP_E_BADPARAMCOUNT, 99},
        {"one too many", 7, {CComVariant(1), CComVariant(2)}, DISP_E_BADPARAMCOUNT, 99},
        {"text for a number", 7, {CComVariant(L"abc")}, DISP_E_TYPEMISMATCH, 0},
        {"empty text for a number", 13, {CComVariant(L"")}, DISP_E_TYPEMISMATCH, 0},
        {"undefined", 5, {CComVariant(1), undefinedArg, CComVariant(1)}, DISP_E_TYPEMISMATCH, 1},
        {"null", 13, {CComVariant(nullArg)}, DISP_E_TYPEMISMATCH, 0},
        {"an object", 7, {object}, DISP_E_TYPEMISMATCH, 0},
        {"an object for a text", 9, {object, CComVariant(1)}, DISP_E_TYPEMISMATCH, 1},
        {"a missing text", 11, {CComVariant(L"5")}, DISP_E_BADPARAMCOUNT, 99},
        {"NaN", 2, {Double(nan), CComVariant(1)}, DISP_E_TYPEMISMATCH, 1},
        {"infinity", 4, {CComVariant(1), CComVariant(1), Double(INFINITY)}, DISP_E_TYPEMISMATCH, 0},
        {"2^31", 7, {Double(2147483648.0)}, DISP_E_TYPEMISMATCH, 0},
        {"-2^31 - 1", 6, {Double(-2147483649.0), CComVariant(1)}, DISP_E_TYPEMISMATCH, 1},
        {"2^31 as text",
         3,
         {CComVariant(L"2147483648"), CComVariant(1), CComVariant(1)},
         DISP_E_TYPEMISMATCH,
         2},
        {"a fraction", 12, {Double(1.5), CComVariant(L"k")}, DISP_E_TYPEMISMATCH, 1},
        {"a long text for a number",
         5,
         {CComVariant(1), CComVariant(kLongText.c_str()), CComVariant(1)},
         DISP_E_TYPEMISMATCH,
         1},
    };
    for (const Case& c : table) {
        CComVariant result;
        UINT argError = 99;
        EXPECT_EQ(c.hr, CCall{c.args}.Invoke(external, c.id, kCall, &result, &argError)) << c.what;
        EXPECT_EQ(c.argError, argError) << c.what;
        EXPECT_EQ(VT_EMPTY, result.vt) << c.what;
    }
    // A null parameter block is a call without arguments.
    CComVariant result;
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              external.Invoke(2, IID_NULL, 0, kCall, nullptr, &result, nullptr, nullptr));
    const DISPPARAMS broken = {nullptr, nullptr, 2, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, external.Invoke(2, IID_NULL, 0, kCall, const_cast<DISPPARAMS*>(&broken),
                                                    &result, nullptr, nullptr));
    // DISPIDs outside the table change nothing.
    for (DISPID id : {1, 10, 14, -1}) {
        CComVariant untouched;
        EXPECT_EQ(S_OK, CScriptCall({1, 2, 3}).Invoke(external, id, kCall, &untouched));
        EXPECT_EQ(VT_EMPTY, untouched.vt) << id;
    }
    EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(BrowserExternalTest, AbsurdValuesReachTheHandlersAsTheyAre)
{
    // Whole numbers of any size and texts of any length are the handlers' to
    // judge; they arrive exactly.
    const std::wstring longText(kLongText);
    const struct {
        DISPID id;
        std::vector<CComVariant> args;
        std::wstring call;
    } table[] = {
        {2, {CComVariant(-1), CComVariant(-2147483647 - 1)}, L"StartDownLoadTask -1 -2147483648"},
        {3, {CComVariant(2147483647), CComVariant(-5), Double(0.0)}, L"GetDownloadPageCount 2147483647 -5 0"},
        {4,
         {Double(-2147483648.0), CComVariant(L" 12 "), CComVariant(0)},
         L"LoadDownloadPage -2147483648 12 0"},
        {5, {CComVariant(0), CComVariant(-1), CComVariant(99)}, L"DeleteTask 0 -1 99"},
        {6, {Double(3.0), CComVariant(L"-7")}, L"RunItem 3 -7"},
        {9, {CComVariant(L""), CComVariant(1)}, L"GetLocalItemStates  1"},
        {9, {CComVariant(longText.c_str()), CComVariant(2)}, L"GetLocalItemStates " + longText + L" 2"},
        {11, {CComVariant(L""), CComVariant(longText.c_str())}, L"OpenContentPage  " + longText},
        {12, {CComVariant(-2147483647 - 1), CComVariant(L"<b>\"'")}, L"ControlPageMove -2147483648 <b>\"'"},
        {13, {CComVariant(2147483647)}, L"GetRecommendedContent 2147483647"},
    };
    for (const auto& entry : table) {
        handlers.calls.clear();
        CComVariant result;
        EXPECT_EQ(S_OK, CCall{entry.args}.Invoke(external, entry.id, kCall, &result)) << entry.id;
        EXPECT_EQ(std::vector<std::wstring>{entry.call}, handlers.calls) << entry.id;
    }
}

TEST_F(BrowserExternalTest, NamedArgumentsAreRefusedButTheEnginesThis)
{
    // rgvarg holds the named arguments first.
    CComVariant result;
    CCall named{{CComVariant(9)}, {5}, {CComVariant(1)}};
    EXPECT_EQ(DISP_E_NONAMEDARGS, named.Invoke(external, 7, kCall, &result));
    CCall namedOnly{{}, {0}, {CComVariant(9)}};
    EXPECT_EQ(DISP_E_NONAMEDARGS, namedOnly.Invoke(external, 7, kCall, &result));
    EXPECT_TRUE(handlers.calls.empty());
    // The script engine's `this` is no argument of the method.
    CCall withThis{{CComVariant(17), CComVariant(2)}, {DISPID_THIS}, {Object(&external)}};
    EXPECT_EQ(S_OK, withThis.Invoke(external, 2, kCall, &result));
    EXPECT_EQ(std::vector<std::wstring>{L"StartDownLoadTask 17 2"}, handlers.calls);
    // A property put names its value DISPID_PROPERTYPUT; no method can be set.
    for (WORD put : {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF}) {
        CCall assign{{}, {DISPID_PROPERTYPUT}, {CComVariant(3)}};
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, assign.Invoke(external, 7, put, nullptr));
    }
    EXPECT_EQ(1u, handlers.calls.size());
}

// An object whose releases are counted: what a caller may leave in its
// result VARIANT.
class CCountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ++releases;
        return --refs;
    }
    ULONG refs = 1;
    int releases = 0;
};

TEST_F(BrowserExternalTest, TheCallersResultVariantIsNeverFreed)
{
    const struct {
        DISPID id;
        std::vector<CComVariant> args;
        VARTYPE vt;
    } table[] = {
        {2, {CComVariant(1), CComVariant(1)}, VT_INT},
        {3, {1, 0, 1}, VT_BSTR},
        {5, {1, 2, 1}, VT_BOOL},
        {7, {1}, VT_BOOL},
        {9, {CComVariant(L"1"), CComVariant(1)}, VT_BSTR},
        {11, {CComVariant(L"1"), CComVariant(L"theme")}, VT_EMPTY},
    };
    for (WORD flags : {static_cast<WORD>(DISPATCH_METHOD), kCall}) {
        for (const auto& entry : table) {
            CCountedObject left;
            VARIANT result;
            result.vt = VT_UNKNOWN;
            result.punkVal = &left;
            EXPECT_EQ(S_OK, CCall{entry.args}.Invoke(external, entry.id, flags, &result)) << entry.id;
            EXPECT_EQ(0, left.releases) << entry.id << " flags " << flags;
            EXPECT_EQ(entry.vt, result.vt) << entry.id;
            VariantClear(&result);
        }
    }
}

TEST_F(BrowserExternalTest, AForeignPageFindsEveryCallRefused)
{
    // Asked at every call: the page may have moved on since the last one.
    CComVariant result;
    EXPECT_EQ(S_OK, CScriptCall({CComVariant(9)}).Invoke(external, 7, kCall, &result));
    EXPECT_EQ(1u, handlers.calls.size());
    for (const wchar_t* foreign : {L"http://other.example/zhuti/", L"", L"about:blank"}) {
        handlers.caller = foreign;
        handlers.calls.clear();
        const struct {
            DISPID id;
            std::vector<CComVariant> args;
            VARTYPE vt;
            int value;
            const wchar_t* text;
        } table[] = {
            {2, {CComVariant(17), CComVariant(2)}, VT_INT, -1, nullptr},
            {3, {10, 1, 2}, VT_BSTR, 0, L"0|0"},
            {4, {2, 0, 1}, VT_BSTR, 0, L""},
            {5, {9, 2, 1}, VT_BOOL, 0, nullptr},
            {6, {9, 2}, VT_BOOL, 0, nullptr},
            {7, {9}, VT_BOOL, 0, nullptr},
            {8, {5, 2, 1}, VT_BOOL, 0, nullptr},
            {9, {CComVariant(L"3,4"), CComVariant(1)}, VT_BSTR, 0, L""},
            {11, {CComVariant(L"88"), CComVariant(L"bizhi")}, VT_EMPTY, 0, nullptr},
            {12, {CComVariant(4), CComVariant(L"k")}, VT_EMPTY, 0, nullptr},
            {13, {CComVariant(2)}, VT_BSTR, 0, L""},
        };
        for (const auto& entry : table) {
            const int asked = handlers.callerAsked;
            for (WORD flags : {static_cast<WORD>(DISPATCH_METHOD), kCall}) {
                CComVariant refused;
                EXPECT_EQ(S_OK, CCall{entry.args}.Invoke(external, entry.id, flags, &refused)) << entry.id;
                ASSERT_EQ(entry.vt, refused.vt) << entry.id;
                if (entry.vt == VT_INT || entry.vt == VT_BOOL) {
                    EXPECT_EQ(entry.value, entry.vt == VT_INT ? refused.intVal : refused.boolVal) << entry.id;
                }
                if (entry.vt == VT_BSTR) {
                    EXPECT_STREQ(entry.text, refused.bstrVal) << entry.id;
                }
            }
            EXPECT_EQ(asked + 2, handlers.callerAsked) << entry.id;
        }
        EXPECT_TRUE(handlers.calls.empty()) << CString(foreign).ToAnsi();
    }
}

// The content page's object is an IDispatchEx: the engine calls InvokeEx and
// its service provider of the calling script reaches the page check; Invoke
// names no caller. Names are exact either way; the pop-ups' object stays a
// plain IDispatch.
TEST_F(BrowserExternalTest, InvokeExHandsTheEnginesCallerToThePageCheck)
{
    CComPtr<IDispatchEx> extended;
    ASSERT_EQ(S_OK, external.QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&extended)));
    for (const auto& entry : {std::make_pair(L"Ex_PauseTask", 7), std::make_pair(L"ex_pausetask", -1),
                              std::make_pair(L"Ex_CloseRbPopDlg", -1)}) {
        DISPID id = 12345;
        CComBSTR name(entry.first);
        EXPECT_EQ(entry.second < 0 ? DISP_E_UNKNOWNNAME : S_OK,
                  extended->GetDispID(name, fdexNameCaseInsensitive, &id));
        EXPECT_EQ(entry.second, id);
    }
    CBrowserExternalRB popupObject;
    void* none = &popupObject;
    EXPECT_EQ(E_NOINTERFACE, popupObject.QueryInterface(__uuidof(IDispatchEx), &none));
    EXPECT_EQ(nullptr, none);

    IServiceProvider* engine = reinterpret_cast<IServiceProvider*>(&handlers); // only compared
    CComVariant args[] = {CComVariant(8)};
    DISPPARAMS params = {args, nullptr, 1, 0};
    CComVariant result;
    EXPECT_EQ(S_OK, extended->InvokeEx(7, LOCALE_USER_DEFAULT, kCall, &params, &result, nullptr, engine));
    EXPECT_EQ(S_OK, extended->InvokeEx(7, LOCALE_USER_DEFAULT, kCall, &params, &result, nullptr, nullptr));
    EXPECT_EQ(S_OK, CScriptCall({CComVariant(9)}).Invoke(external, 7, kCall, &result));
    EXPECT_EQ((std::vector<IServiceProvider*>{engine, nullptr, nullptr}), handlers.providers);
    EXPECT_EQ((std::vector<std::wstring>{L"PauseTask 8", L"PauseTask 8", L"PauseTask 9"}), handlers.calls);

    // A foreign caller runs nothing through InvokeEx either.
    handlers.caller = L"http://other.example/";
    handlers.calls.clear();
    EXPECT_EQ(S_OK, extended->InvokeEx(7, LOCALE_USER_DEFAULT, kCall, &params, &result, nullptr, engine));
    EXPECT_TRUE(handlers.calls.empty());
    ASSERT_EQ(VT_BOOL, result.vt);
    EXPECT_EQ(0, result.boolVal);
}

TEST_F(BrowserExternalTest, ACallWithoutAResultVariantStillRunsTheHandler)
{
    CScriptCall({CComVariant(3)}).Invoke(external, 7, DISPATCH_METHOD, nullptr);
    EXPECT_EQ(std::vector<std::wstring>{L"PauseTask 3"}, handlers.calls);
}

TEST(BrowserExternalOwnerless, EveryCallIsRefusedUntilTheMainWindowIsThere)
{
    // Without an owner no page is the program's: every call answers the
    // method's failure value.
    CBrowserExternal external;
    const struct {
        DISPID id;
        std::vector<CComVariant> args;
        VARTYPE vt;
    } table[] = {
        {2, {CComVariant(1), CComVariant(1)}, VT_INT},
        {3, {1, 0, 1}, VT_BSTR},
        {5, {1, 2, 1}, VT_BOOL},
        {6, {1, 2}, VT_BOOL},
        {8, {1, 2, 1}, VT_BOOL},
        {9, {CComVariant(L"1"), CComVariant(1)}, VT_BSTR},
        {13, {1}, VT_BSTR},
    };
    for (const auto& entry : table) {
        CComVariant called;
        EXPECT_EQ(S_OK, CCall{entry.args}.Invoke(external, entry.id, kCall, &called));
        EXPECT_EQ(entry.vt, called.vt) << entry.id;
        EXPECT_TRUE(called.vt != VT_INT || called.intVal == -1) << entry.id;
        EXPECT_TRUE(called.vt != VT_BOOL || called.boolVal == 0) << entry.id;
        EXPECT_TRUE(called.vt != VT_BSTR || SysStringLen(called.bstrVal) <= 3) << entry.id;
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

TEST(BrowserExternalRB, ACloseWithoutAWholeNumberIsRefused)
{
    CBrowserExternalRB external;
    CRecordingPopup popup;
    external.SetOwner(&popup);
    const struct {
        const char* what;
        std::vector<CComVariant> args;
        HRESULT hr;
    } table[] = {
        {"no value", {}, DISP_E_BADPARAMCOUNT},
        {"two values", {CComVariant(1), CComVariant(1)}, DISP_E_BADPARAMCOUNT},
        {"a word", {CComVariant(L"x")}, DISP_E_TYPEMISMATCH},
        {"an empty text", {CComVariant(L"")}, DISP_E_TYPEMISMATCH},
        {"a fraction", {Double(0.5)}, DISP_E_TYPEMISMATCH},
        {"NaN", {Double(std::numeric_limits<double>::quiet_NaN())}, DISP_E_TYPEMISMATCH},
        {"2^31", {Double(2147483648.0)}, DISP_E_TYPEMISMATCH},
        {"undefined", {CComVariant()}, DISP_E_TYPEMISMATCH},
    };
    for (const auto& c : table) {
        CComVariant result;
        UINT argError = 99;
        EXPECT_EQ(c.hr, CCall{c.args}.Invoke(external, 10, kCall, &result, &argError)) << c.what;
        EXPECT_EQ(c.hr == DISP_E_TYPEMISMATCH ? 0u : 99u, argError) << c.what;
        EXPECT_EQ(VT_EMPTY, result.vt) << c.what;
    }
    CComVariant result;
    EXPECT_EQ(DISP_E_NONAMEDARGS, (CCall{{}, {0}, {CComVariant(1)}}).Invoke(external, 10, kCall, &result));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, (CCall{{}, {DISPID_PROPERTYPUT}, {CComVariant(1)}})
                                         .Invoke(external, 10, DISPATCH_PROPERTYPUT, nullptr));
    EXPECT_TRUE(popup.closes.empty());
    // Whole numbers in any form close, with their value.
    for (const CComVariant& value : {CComVariant(2), Double(3.0), CComVariant(L"4"), CComVariant(-1)})
        EXPECT_EQ(S_OK, CCall{{value}}.Invoke(external, 10, DISPATCH_METHOD, nullptr));
    EXPECT_EQ((std::vector<int>{2, 3, 4, -1}), popup.closes);
}

} // namespace
