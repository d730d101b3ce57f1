#include "InstallTestSupport.h"

#include "../common/ZipFixture.h"
#include "app/common/FileUtils.h"
#include "app/common/Md5Checksum.h"
#include "app/common/WindowsVersion.h"
#include "app/install/PackageInstall.h"
#include "app/startup/CorvaneModule.h"
#include "base/Thread.h"
#include "base/WindowImpl.h"
#include "download/Dunmere.h"
#include "skin/CorvaneMsgBox.h"
#include "skin/CorvaneMsgBox2.h"
#include "skin/SkFontPool.h"
#include "skin/SkSkinPool.h"
#include "skin/SkString.h"
#include "skin/SkStylePool.h"
#include "tests/support/TestServer.h"

#include <algorithm>

#include <shlobj.h>
#include <sstream>

namespace {

constexpr DWORD kLookEveryMs = 20;
// A box still up this long after a click is clicked again.
constexpr DWORD kAnswerAgainMs = 1000;
// How long a box may stay up while it is being answered.
constexpr DWORD kBoxPatienceMs = 30000;
constexpr DWORD kControlPanelPatienceMs = 30000;
// How often a wait that ends the stand-in's windows looks for new ones.
constexpr DWORD kLookAgainMs = 100;
const wchar_t kActiveDesktopServer[] =
    L"Software\\Classes\\CLSID\\{75048700-EF1F-11D0-9888-006097DEACF9}\\InprocServer32";

std::string Escape(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

BOOL RecordDeleteOffer(int id, int state, int kind)
{
    CEventLog::Instance().Add(DeleteEvent(id, state, kind));
    return FALSE;
}

// For the whole run: the skin library as the program starts it (for the
// skinned message boxes), our Active Desktop server in place of Wine's (put
// back at the end), and the Windows cursor folder.
class InstallEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        LoadStringTable();
        SetDefaultFontFace(SkString::Get(0));
        LoadSkins();
        LoadStyles();

        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kActiveDesktopServer, 0, nullptr, 0,
                                                 KEY_READ | KEY_WRITE, nullptr, &m_key, &m_disposition));
        DWORD size = sizeof(m_former);
        m_hadValue = RegQueryValueExW(m_key, nullptr, nullptr, &m_formerType,
                                      reinterpret_cast<BYTE*>(m_former), &size) == ERROR_SUCCESS;
        const CString server = BuildBinFolder() + L"active_desktop_standin.dll";
        // A run ended from outside could not put the system's server back:
        // it is the shell's, as Wine registers it.
        if (m_hadValue && CString(m_former).Find(L"active_desktop_standin.dll") >= 0) {
            GetSystemDirectoryW(m_former, MAX_PATH);
            wcscat(m_former, L"\\shell32.dll");
            m_formerType = REG_SZ;
        }
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.GetString()),
                                 (server.GetLength() + 1) * sizeof(wchar_t)));
    }

    void TearDown() override
    {
        if (m_hadValue) {
            RegSetValueExW(m_key, nullptr, 0, m_formerType, reinterpret_cast<const BYTE*>(m_former),
                           static_cast<DWORD>((wcslen(m_former) + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteValueW(m_key, nullptr);
        }
        RegCloseKey(m_key);
        if (m_disposition == REG_CREATED_NEW_KEY)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kActiveDesktopServer);
    }

private:
    HKEY m_key = nullptr;
    DWORD m_disposition = 0;
    bool m_hadValue = false;
    DWORD m_formerType = REG_SZ;
    wchar_t m_former[MAX_PATH * 2] = {};
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new InstallEnvironment);

struct WindowList {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwnWindows(HWND window, LPARAM param)
{
    auto* list = reinterpret_cast<WindowList*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == list->process)
        list->windows.push_back(window);
    return TRUE;
}

CString ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

} // namespace

CString TestProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString program = path;
    return program.Left(program.ReverseFind(L'\\') + 1);
}

CString BuildBinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetFullPathNameW(TestProgramFolder() + L"..\\", MAX_PATH, path, nullptr);
    return path;
}

std::string Utf8(const std::wstring& text)
{
    return CString(text.c_str()).ToUtf8();
}

CEventLog& CEventLog::Instance()
{
    static CEventLog log;
    return log;
}

void CEventLog::Add(const std::string& line)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_lines.push_back(line);
}

std::vector<std::string> CEventLog::Take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return std::exchange(m_lines, {});
}

std::string BoxEvent(const wchar_t* caption, const wchar_t* text)
{
    return "box " + CString(caption).ToUtf8() + "|" + CString(text).ToUtf8();
}

std::string DeleteConfirmEvent()
{
    return "box delete confirmation";
}

std::string DeleteEvent(int id, int state, int kind)
{
    return "delete " + std::to_string(id) + " " + std::to_string(state) + " " + std::to_string(kind);
}

CBoxWatcher::CBoxWatcher() : m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = StartThread([this] { Run(); });
}

CBoxWatcher::~CBoxWatcher()
{
    SetEvent(m_stop);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_thread, kBoxPatienceMs))
        << "the message box watcher did not stop";
    CloseHandle(m_stop);
}

bool CBoxWatcher::Answer(HWND window, bool skinned)
{
    if (!skinned) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return true;
    }
    auto* box = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(window));
    // Only its buttons end it: the first one is clicked once it is up.
    if (!box || !IsWindowVisible(window) || box->m_buttons.empty())
        return false;
    CSkWindow* button = box->m_view.FindItem(box->m_buttons.front().id);
    if (!button)
        return false;
    const LPARAM at = MAKELPARAM((button->m_rect.left + button->m_rect.right) / 2,
                                 (button->m_rect.top + button->m_rect.bottom) / 2);
    HWND view = box->m_view.m_hWnd;
    PostMessageW(view, WM_MOUSEMOVE, 0, at);
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(view, WM_LBUTTONUP, 0, at);
    return true;
}

void CBoxWatcher::AnswerAgainOrGiveUp(HWND window, Answered& answered)
{
    const DWORD now = GetTickCount();
    if (answered.closed || !IsWindowVisible(window) || now - answered.lastAt < kAnswerAgainMs)
        return;
    auto* box = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(window));
    if (box && box->m_end)
        return; // answered, and on its way out
    if (now - answered.firstAt >= kBoxPatienceMs) {
        ADD_FAILURE() << "the message box (" << answered.event << ") was still up "
                      << (now - answered.firstAt) / 1000 << " s after it was first answered: closed";
        answered.closed = true;
        PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    if (Answer(window, box != nullptr))
        answered.lastAt = now;
}

void CBoxWatcher::Run()
{
    while (WaitForSingleObject(m_stop, kLookEveryMs) == WAIT_TIMEOUT) {
        WindowList list = {GetCurrentProcessId(), {}};
        EnumWindows(CollectOwnWindows, reinterpret_cast<LPARAM>(&list));
        for (HWND window : list.windows) {
            const auto known = m_answered.find(window);
            if (known != m_answered.end()) {
                AnswerAgainOrGiveUp(window, known->second);
                continue;
            }
            std::string event;
            bool skinned = false;
            CWindowImpl* skinnedWindow = CWindowImpl::FromHandle(window);
            if (dynamic_cast<CCorvaneMsgBox2*>(skinnedWindow)) {
                // Its question is drawn from its own layout, not held as text.
                event = DeleteConfirmEvent();
                skinned = true;
            } else if (auto* box = dynamic_cast<CCorvaneMsgBox*>(skinnedWindow)) {
                event = BoxEvent(box->m_caption, box->m_text);
                skinned = true;
            } else if (ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
                wchar_t text[512] = {};
                GetDlgItemTextW(window, 0xFFFF, text, 512);
                event = BoxEvent(L"plain", text);
            } else {
                continue;
            }
            if (!Answer(window, skinned))
                continue;
            CEventLog::Instance().Add(event);
            const DWORD now = GetTickCount();
            m_answered[window] = {event, now, now, false};
        }
        // Handles of boxes gone may come back for new ones.
        for (auto it = m_answered.begin(); it != m_answered.end();)
            it = IsWindow(it->first) ? std::next(it) : m_answered.erase(it);
    }
}

std::string PackagePasswordOf(int id)
{
    return std::to_string(id) + "_mirt_saboe";
}

void PinWindowsVersion(int major, int minor)
{
    g_nOsMajorVersion = major;
    g_nOsMinorVersion = minor;
}

std::vector<std::string> ReadLines(const CString& path)
{
    std::vector<std::string> lines;
    if (!FileExists(path))
        return lines;
    std::istringstream in(ReadFileBytes(path));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

void InstallFixture::SetUp()
{
    CEventLog::Instance().Take();
    g_offerDelete = RecordDeleteOffer;
    PinWindowsVersion(6, 1);

    windows = CString(L"C:\\windows");
    wchar_t folder[MAX_PATH] = {};
    if (GetWindowsDirectoryW(folder, MAX_PATH))
        windows = folder;
    themes = windows + L"\\Resources\\Themes";
    SHCreateDirectoryExW(nullptr, themes, nullptr);
    m_madeCursors = CreateDirectoryW(windows + L"\\Cursors", nullptr) != FALSE;

    MakeFolderFor(program / L"Data\\MyThemes.xml");
    WriteFileBytes(program / L"Data\\MyThemes.xml", "<?xml version=\"1.0\" ?>\n<items />\n");
    WriteFileBytes(program / L"Data\\MyImages.xml", "<?xml version=\"1.0\" ?>\n<items />\n");
    UseExtractor(L"real");
    ASSERT_TRUE(CopyFileW(BuildBinFolder() + L"rundll_standin.exe", program / L"rundll32.exe", FALSE));
    MakeFolderFor(downloads / L"Ravonyx\\download\\x");
    SetCurrentDirectoryW(program.Path());
    _Module.m_strAppDir = program.Path();
    _Module.m_strDownloadDir = downloads.Path();

    m_doneName = L"RavonyxTestControlPanel" + std::to_wstring(GetCurrentProcessId());
    m_controlPanelDone.Reset(CreateEventW(nullptr, FALSE, FALSE, m_doneName.c_str()));
    SetEnvironmentVariableW(L"RAVONYX_RUNDLL_DONE", m_doneName.c_str());
    SetEnvironmentVariableW(L"RAVONYX_RUNDLL_LOG", logs / L"control-panel.txt");
    SetEnvironmentVariableW(L"RAVONYX_DESKTOP_LOG", logs / L"desktop.txt");
    SetEnvironmentVariableW(L"RAVONYX_RUNDLL_SHOW", nullptr);
    m_watcher = std::make_unique<CBoxWatcher>();
}

void InstallFixture::TearDown()
{
    m_watcher.reset();
    WaitForControlPanel(true);
    SetCurrentDirectoryW(TestProgramFolder());
    for (const auto* name : {L"RAVONYX_RUNDLL_DONE", L"RAVONYX_RUNDLL_LOG", L"RAVONYX_DESKTOP_LOG",
                             L"RAVONYX_RUNDLL_SHOW", L"RAVONYX_STUB_COMMAND_LOG", L"RAVONYX_STUB_EXIT_CODE"})
        SetEnvironmentVariableW(name, nullptr);
    for (const std::wstring& name : m_names) {
        DeletePath(themes + L"\\" + name.c_str() + L".theme");
        DeletePath(themes + L"\\" + name.c_str());
        DeletePath(windows + L"\\Cursors\\Cursors\\" + name.c_str() + L".cur");
        DeletePath(windows + L"\\Cursors\\" + name.c_str() + L".cur");
    }
    RemoveDirectoryW(windows + L"\\Cursors\\Cursors");
    if (m_madeCursors)
        RemoveDirectoryW(windows + L"\\Cursors");
    g_offerDelete = nullptr;
}

void InstallFixture::UseExtractor(const wchar_t* which)
{
    const CString target = program / L"Extract.dll";
    DeleteFileW(target);
    const std::wstring kind = which;
    if (kind == L"real") {
        ASSERT_TRUE(CopyFileW(BuildBinFolder() + L"Extract.dll", target, FALSE));
    } else if (kind == L"stub") {
        ASSERT_TRUE(CopyFileW(BuildBinFolder() + L"extract_stub.exe", target, FALSE));
    }
}

void InstallFixture::ShowFromControlPanel(const wchar_t* what)
{
    SetEnvironmentVariableW(L"RAVONYX_RUNDLL_SHOW", what);
}

void InstallFixture::WriteList(int kind, const std::vector<ListEntry>& entries)
{
    std::string xml = "<?xml version=\"1.0\" ?>\n<items>\n";
    for (const ListEntry& entry : entries) {
        const std::string id = std::to_string(entry.id);
        xml += "<item id=\"" + id + "\" name=\"" + Escape(Utf8(entry.name)) +
               "\"><jsons>{&quot;id&quot;:&quot;" + id +
               "&quot;,&quot;status&quot;:2,&quot;progress&quot;:&quot;100&quot;}</"
               "jsons><file>Ravonyx\\download\\" +
               id + ".zip</file></item>\n";
    }
    xml += "</items>\n";
    WriteFileBytes(program / (kind == 2 ? L"Data\\MyImages.xml" : L"Data\\MyThemes.xml"), xml);
}

void InstallFixture::WritePackage(int id, const ZipEntries& entries, const std::string& password)
{
    const CString path = downloads / (L"Ravonyx\\download\\" + std::to_wstring(id) + L".zip").c_str();
    WriteZip(path, entries, password);
}

void InstallFixture::ServePackage(int id, const ZipEntries& entries, const std::string& password)
{
    const std::string name = std::to_string(id) + ".zip";
    const CString made = logs / CString::FromUtf8(name.c_str());
    WriteZip(made, entries, password);
    CTestServer& server = CTestServer::Instance();
    server.PutFile(("/packages/" + name).c_str(), ReadFileBytes(made));
    const CString folder = downloads / L"Ravonyx\\download\\";
    const CString arrived = folder + CString::FromUtf8(name.c_str());
    DeleteFileW(arrived);
    ASSERT_TRUE(DownLoadForSingle(server.Url(("/packages/" + name).c_str()), folder));
    ASSERT_EQ(ComputeFileMd5(made).ToUtf8(), ComputeFileMd5(arrived).ToUtf8());
}

namespace {

void CollectTree(const CString& folder, const std::string& prefix, std::map<std::string, std::string>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::string relative = prefix + name.ToUtf8();
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[relative + "\\"] = "<folder>";
            CollectTree(folder + name + L"\\", relative + "\\", out);
        } else {
            out[relative] = ReadFileBytes(folder + name);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

} // namespace

std::map<std::string, std::string> TreeOf(const CString& folder)
{
    std::map<std::string, std::string> tree;
    CollectTree(folder.Right(1) == L"\\" ? folder : folder + L"\\", "", tree);
    return tree;
}

ZipEntries InstallFixture::ThemeEntries(int id, const std::wstring& name, bool themeFile, bool idFolder,
                                        bool cursors)
{
    const std::string top = idFolder ? std::to_string(id) + "/" : std::string();
    const std::string n = Utf8(name);
    ZipEntries entries = {
        {top + n + "/" + n + ".msstyles", "MZ visual style of " + n},
        {top + n + "/WALLPAPER/" + n + ".jpg", "JPEG wallpaper of " + n},
    };
    if (themeFile)
        entries.push_back({top + n + ".theme", "[Theme]\r\nDisplayName=" + n + "\r\n"});
    if (cursors)
        entries.push_back({top + "Cursors/" + n + ".cur", "cursor of " + n});
    return entries;
}

ZipEntries InstallFixture::WallpaperEntries(int id, const std::wstring& name)
{
    return {{std::to_string(id) + "/" + Utf8(name) + ".jpg", "JPEG " + Utf8(name)}};
}

std::wstring InstallFixture::UniqueName(const std::wstring& stem)
{
    const std::wstring name =
        stem + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(m_names.size());
    m_names.push_back(name);
    return name;
}

namespace {

// Asks every stand-in control panel window of another process to end.
void EndStandInWindows()
{
    for (const auto& [cls, title] :
         {std::pair<const wchar_t*, const wchar_t*>{L"CabinetWClass", nullptr}, {L"#32770", L"显示 属性"}}) {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, cls, title)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId())
                PostMessageW(window, WM_APP + 1, 0, 0);
        }
    }
}

} // namespace

bool InstallFixture::WaitForControlPanel(bool endOpenWindows)
{
    // Every start writes "command" first and "end" last, then sets the event.
    // A stand-in that is still starting makes its window later: while it is
    // waited for, a window that has come since the last look is ended too.
    const DWORD start = GetTickCount();
    for (;;) {
        if (endOpenWindows)
            EndStandInWindows();
        const std::vector<std::string> lines = ControlPanelLog();
        const auto count = [&](const std::string& word) {
            return std::count_if(lines.begin(), lines.end(),
                                 [&](const std::string& line) { return line.rfind(word, 0) == 0; });
        };
        if (count("command ") == count("end"))
            return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= kControlPanelPatienceMs)
            return false;
        WaitForSingleObject(m_controlPanelDone, endOpenWindows
                                                    ? std::min(kLookAgainMs, kControlPanelPatienceMs - waited)
                                                    : kControlPanelPatienceMs - waited);
    }
}

std::vector<std::string> InstallFixture::ControlPanelLog()
{
    return ReadLines(logs / L"control-panel.txt");
}

std::vector<std::string> InstallFixture::DesktopLog()
{
    return ReadLines(logs / L"desktop.txt");
}
