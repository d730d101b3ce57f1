// What the installation tests share: a program folder and a download root
// of their own, the stand-ins (Active Desktop, rundll32.exe, extractor
// stub), a watcher that reads and answers every message box of this
// process, the delete offers made, and package fixtures.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/Handle.h"
#include "base/RefString.h"
#include "tests/support/TempFolder.h"

// The folder of this test program, with a trailing backslash, and the build's
// program folder (bin) above it, where the stand-ins and Extract.dll are.
CString TestProgramFolder();
CString BuildBinFolder();

// What happened, in order: "box <caption>|<text>" for each skinned message
// box and "box plain|<text>" for each plain one (all answered with OK), "delete <id> <state> <kind>" for each
// delete offer.
class CEventLog {
public:
    static CEventLog& Instance();
    void Add(const std::string& line);
    std::vector<std::string> Take();

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

using Events = std::vector<std::string>;
std::string BoxEvent(const wchar_t* caption, const wchar_t* text);

// What the installation says, and its caption.
inline constexpr wchar_t kError[] = L"错误信息";
inline constexpr wchar_t kUnpackFailed[] = L"由于解压失败，软件无法安装。请重新下载！";
inline constexpr wchar_t kWallpaperFailed[] = L"应用壁纸失败，请重新下载！";
// The extractor's exit code 2, in a plain box.
inline constexpr wchar_t kSevere[] = L"发生严重错误，无法进行解压！";
// The skinned delete confirmation, as the box watcher notes it.
std::string DeleteConfirmEvent();
std::string DeleteEvent(int id, int state, int kind);

// Answers every message box of this process with OK, from a thread of its
// own, noting each in the event log. A click posted from here can be lost
// (the real pointer may move between its button-down and button-up), so a
// box still up a moment later is answered again, until it goes; one still
// up after the patience fails the test and is closed.
class CBoxWatcher {
public:
    CBoxWatcher();
    ~CBoxWatcher();
    CBoxWatcher(const CBoxWatcher&) = delete;
    CBoxWatcher& operator=(const CBoxWatcher&) = delete;

private:
    struct Answered {
        std::string event; // what the log noted
        DWORD firstAt;     // GetTickCount of the first answer
        DWORD lastAt;      // and of the latest
        bool closed;       // given up on: closed
    };
    void Run();
    // Answers the box; false when it is not ready for an answer yet.
    static bool Answer(HWND window, bool skinned);
    void AnswerAgainOrGiveUp(HWND window, Answered& answered);
    HANDLE m_stop;
    CHandle m_thread;
    std::map<HWND, Answered> m_answered;
};

// A package's entries: (name with "/", bytes).
using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// The password the packages of item id are made with.
std::string PackagePasswordOf(int id);

struct ListEntry {
    int id;
    std::wstring name;
};

// Sets the Windows version the theme code sees.
void PinWindowsVersion(int major, int minor);

// A program folder (Data lists, an extractor, a stand-in rundll32.exe) and
// a download root, made the program's own for the test; the current folder
// is the program folder, which the program's bare command lines search
// after the folder of the running program (which has neither).
class InstallFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // Replaces the program folder's extractor (by default the real one):
    // L"" none, L"stub" the recording stand-in.
    void UseExtractor(const wchar_t* which);
    // How the stand-in rundll32.exe behaves (see RundllStandIn.cpp).
    void ShowFromControlPanel(const wchar_t* what);

    void WriteList(int kind, const std::vector<ListEntry>& entries);
    // Writes Ravonyx\download\<id>.zip below the download root.
    void WritePackage(int id, const ZipEntries& entries, const std::string& password);
    // Serves the package from the test server and downloads it there through
    // the download library, as the program gets it; its MD5 is the served one.
    void ServePackage(int id, const ZipEntries& entries, const std::string& password);
    // A theme package of the usual layout; the flags leave parts out.
    ZipEntries ThemeEntries(int id, const std::wstring& name, bool themeFile = true, bool idFolder = true,
                            bool cursors = true);
    ZipEntries WallpaperEntries(int id, const std::wstring& name);

    // A theme name no one else uses; what it leaves in the Windows folders
    // goes at the end of the test.
    std::wstring UniqueName(const std::wstring& stem);

    // Waits until the stand-in control panel has ended (true), ending one
    // left open first when asked.
    bool WaitForControlPanel(bool endOpenWindows);
    // The stand-in control panel's lines, and the Active Desktop's.
    std::vector<std::string> ControlPanelLog();
    std::vector<std::string> DesktopLog();

protected:
    CTempFolder program;
    CTempFolder downloads;
    CTempFolder logs;
    CString themes;  // the Windows theme folder
    CString windows; // the Windows folder

private:
    std::vector<std::wstring> m_names;
    CHandle m_controlPanelDone;
    std::wstring m_doneName;
    bool m_madeCursors = false;
    std::unique_ptr<CBoxWatcher> m_watcher;
};

std::vector<std::string> ReadLines(const CString& path);
// Everything below a folder: relative path -> bytes, "<folder>" for folders.
std::map<std::string, std::string> TreeOf(const CString& folder);
std::string Utf8(const std::wstring& text);
