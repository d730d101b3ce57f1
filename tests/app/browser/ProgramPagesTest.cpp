// Which addresses are the program's own pages: its sites by scheme, host and
// port, and the files below its local pages' folder, however the address
// is written; everything else is foreign.
#include <gtest/gtest.h>

#include "app/browser/ProgramPages.h"

namespace {

TEST(ProgramPages, OnlyTheSitesAndTheLocalFolderAreTheProgramsOwn)
{
    const CString web = L"http://www.site.example";
    const CString content = L"http://127.0.0.1:18081/";
    const CString download = L"http://dl.site.example:8080/files/";
    const CString local = L"C:\\Program Files\\Ravonyx\\Local\\";
    const struct {
        const wchar_t* address;
        bool own;
    } table[] = {
        {L"http://www.site.example/search.html?a=box", true},
        {L"HTTP://WWW.SITE.EXAMPLE:80/", true},
        {L"http://127.0.0.1:18081/zhuti/index.html", true},
        {L"http://127.0.0.1:18081", true},
        {L"http://dl.site.example:8080/other/", true},
        {L"file:///C:/Program%20Files/Ravonyx/Local/management/mythemes.html?item=1", true},
        {L"file:///C:/Program Files/Ravonyx/Local/management/error.html", true},
        {L"file://C:\\Program Files\\Ravonyx\\Local\\list\\menumanage.html", true},
        {L"file:///c:/program files/ravonyx/local/management/myimages.html#top", true},
        {L"file:///C:/Program%20Files/Ravonyx/Local/%E4%B8%BB%E9%A2%98.html", true},
        {L"file:///C:/Program%20Files/Ravonyx/Local/\u4e3b\u9898.html", true},
        // Other sites, ports, schemes and look-alikes.
        {L"http://127.0.0.1:18082/zhuti/", false},
        {L"http://127.0.0.1/", false},
        {L"https://127.0.0.1:18081/", false},
        {L"http://dl.site.example/files/", false},
        {L"http://www.site.example.evil.example/", false},
        {L"http://www.site.example@evil.example/", false},
        {L"http://evil.example/?http://www.site.example/", false},
        {L"http://evil.example\\@www.site.example/", false},
        {L"http://127.0.0.1:18081x/", false},
        {L"ftp://www.site.example/", false},
        {L"about:blank", false},
        {L"javascript:void(0);", false},
        {L"res://ieframe.dll/navcancl.htm#http://127.0.0.1:18081/", false},
        {L"", false},
        // Other files: beside, above or through the local folder, shares.
        {L"file:///C:/Program%20Files/Ravonyx/Data/MyThemes.xml", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/../Config/common.ini", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/%2e%2e/evil.html", false},
        {L"file:///C:/Program%20Files/Ravonyx/LocalEvil/page.html", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/", false},
        {L"file:///D:/Downloads/Ravonyx/theme/1/page.html", false},
        {L"file://server/share/Program Files/Ravonyx/Local/page.html", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/page.html:stream", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/page%00.html", false},
        {L"file:///C:/Program%20Files/Ravonyx/Local/%zz.html", false},
    };
    for (const auto& entry : table) {
        EXPECT_EQ(entry.own, IsProgramPageAddress(entry.address, {web, content, download}, local))
            << CString(entry.address).ToUtf8();
    }
    // Without a local folder no file is the program's.
    EXPECT_FALSE(IsProgramPageAddress(L"file:///C:/Local/page.html", {web}, CString()));
}

} // namespace
