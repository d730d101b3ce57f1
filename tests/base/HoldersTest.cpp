#include "base/ComPtr.h"
#include "base/Handle.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

TEST(Holders, HandlesCloseOnceAndMove)
{
    CHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.Get();
    CHandle moved(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(raw, moved.Get());
    moved.Reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    CFileHandle missing(
        CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
}

TEST(Holders, ThreadRunsItsBodyAndCanBeWaitedOn)
{
    int ran = 0;
    CHandle thread = StartThread([&ran] { ran = 42; });
    ASSERT_TRUE(thread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    EXPECT_EQ(42, ran);

    CHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE signal = done.Get();
    EXPECT_TRUE(StartDetachedThread([signal] { SetEvent(signal); }));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done, 10000));
}

TEST(Holders, BstrAndVariantOwnTheirText)
{
    CComBSTR text(L"主题");
    EXPECT_EQ(2u, text.Length());
    CComBSTR copy(text);
    EXPECT_NE(static_cast<BSTR>(text), static_cast<BSTR>(copy));
    EXPECT_STREQ(L"主题", copy);

    CComVariant v(L"12");
    EXPECT_EQ(VT_BSTR, v.vt);
    ASSERT_EQ(S_OK, v.ChangeType(VT_I4));
    EXPECT_EQ(12, v.lVal);
    CComVariant w(v);
    EXPECT_EQ(12, w.lVal);
}
