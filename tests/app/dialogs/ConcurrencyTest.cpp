// A saved number of downloads at once reaches Dunmere.dll at once: the
// test server sees that many downloads, and no more.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/Dunmere.h"
#include "tests/app/dialogs/SetupFixture.h"
#include "tests/download/support/MessageSink.h"
#include "tests/support/TestServer.h"

TEST_F(SetupTest, SavedTaskNumberLimitsTheDownloadsAtOnce)
{
    CTestServer& server = CTestServer::Instance();
    server.Reset();
    CMessageSink sink;
    InitDll(sink.Hwnd());
    ChangeDownFileNum(2);
    CTempFolder target;

    for (int limit : {1, 3}) {
        SCOPED_TRACE(limit);
        RunDialog([&](CGBSetup& dialog) {
            SendMessageW(dialog.m_taskCombo, CB_SETCURSEL, static_cast<WPARAM>(limit - 1), 0);
            ClickItem(dialog, IDC_SETUP_OK);
        });
        std::vector<CString> urls;
        std::vector<std::string> paths;
        std::vector<CString> titles;
        for (int i = 0; i <= limit; ++i) {
            const std::string title = "limit" + std::to_string(limit) + "_" + std::to_string(i);
            const std::string path = "/settings/" + title + ".zip";
            titles.push_back(CString::FromUtf8(title.c_str()));
            server.PutFile(path.c_str(), TestBytes(1 << 20, static_cast<unsigned>(i)));
            server.AddRoute(R"({"path": ")" + path + R"(", "rate": 20000})");
            paths.push_back(path);
            urls.push_back(server.Url(path.c_str()));
            EXPECT_EQ(i < limit ? 1 : 2, DownLoadByTask(urls.back(), target.Path(), 1)) << i;
        }
        for (int i = 0; i < limit; ++i)
            EXPECT_TRUE(server.WaitForRequests(1, paths[i])) << i;
        EXPECT_TRUE(server.Requests(paths.back()).empty());
        for (const CString& url : urls)
            EXPECT_EQ(1, PauseDownload(url));
        for (const CString& title : titles)
            EXPECT_TRUE(sink.WaitFor(WM_DOWNLOAD_STOPPED, title, 30000)) << title.ToUtf8();
    }
}
