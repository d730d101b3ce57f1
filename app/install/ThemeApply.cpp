#include "app/install/ThemeApply.h"

#include "app/common/FileUtils.h"
#include "app/common/SafeFileName.h"
#include "app/common/WindowsVersion.h"
#include "app/install/PlacedThemes.h"
#include "app/install/Wallpaper.h"
#include "app/install/WindowsFolders.h"
#include "base/Handle.h"
#include "base/StartProcess.h"
#include "skin/CorvaneMsgBox.h"

#include <vector>

namespace {

constexpr int kSearchRounds = 100;
constexpr DWORD kSearchIntervalMs = 10;
constexpr DWORD kPersonalisationOpenMs = 1000;
constexpr UINT kCloseTimeoutMs = 5000;

bool PathExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Absent, or there as the kind of path it must be.
bool AbsentOrFile(const CString& path)
{
    return !PathExists(path) || FileExists(path);
}

bool AbsentOrFolder(const CString& path)
{
    return !PathExists(path) || DirectoryExists(path);
}

// Absent, or there under the very name asked for, not reached through the
// short 8.3 name of another ("ROYALE~1" for "Royale Noir"). The name holds
// no wildcard: it is a plain file name.
bool AbsentOrUnderItsOwnName(const CString& path)
{
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return !PathExists(path);
    FindClose(search);
    return path.Mid(path.ReverseFind(L'\\') + 1).CompareNoCase(found.cFileName) == 0;
}

// The theme file and visual-style folder under the name are this program's
// own: recorded as placed, and not another theme's reached by its short name.
bool IsOwnPlacedTheme(const CString& name, const CString& themeFile, const CString& styleFolder)
{
    return IsPlacedTheme(name) && AbsentOrUnderItsOwnName(themeFile) && AbsentOrUnderItsOwnName(styleFolder);
}

CString ThemeCommandLine(const CString& themePathWithQuote)
{
    const CString system = SystemDirectory();
    CString command = L"rundll32.exe " + system + L"\\shell32.dll,Control_RunDLL " + system;
    if (ThemePageOnly())
        command += L"\\desk.cpl desk,@Themes";
    else
        command += L"\\desk.cpl desk,@Themes /Action:OpenTheme /file:\"" + themePathWithQuote;
    return command;
}

CString WindowText(HWND window, int(WINAPI* read)(HWND, LPWSTR, int))
{
    wchar_t text[MAX_PATH] = {};
    read(window, text, MAX_PATH);
    return text;
}

// The XP Display dialog applies the theme when its OK button is clicked;
// it is kept out of sight meanwhile. Without that button it is shown again.
bool ClickDisplayDialogOk(HWND dialog)
{
    RECT shown = {};
    GetWindowRect(dialog, &shown);
    SetWindowPos(dialog, HWND_BOTTOM, -100, -100, 0, 0, SWP_HIDEWINDOW);
    HWND ok = FindWindowExW(dialog, nullptr, L"Button", L"确定");
    if (!ok)
        ok = FindWindowExW(dialog, nullptr, L"Button", L"OK");
    if (!ok) {
        SetWindowPos(dialog, HWND_TOP, shown.left, shown.top, shown.right - shown.left,
                     shown.bottom - shown.top, SWP_SHOWWINDOW);
        return false;
    }
    SendMessageW(ok, BM_CLICK, 0, 0);
    return true;
}

} // namespace

CString PickExistingDirectory(const CString& path)
{
    return DirectoryExists(path) ? path : CString();
}

bool CanPlaceTheme(const CString& name)
{
    if (!IsSafeFileName(name) || IsWindowsThemeName(name))
        return false;
    const CString themes = ThemesDirectory();
    const CString themeFile = themes + L"\\" + name + L".theme";
    const CString styleFolder = themes + L"\\" + name;
    if (!PathExists(themeFile) && !PathExists(styleFolder))
        return true;
    return IsOwnPlacedTheme(name, themeFile, styleFolder) && AbsentOrFile(themeFile) &&
           AbsentOrFolder(styleFolder);
}

bool IsThemePackageSound(const CString& packageFolder, const CString& name)
{
    return AbsentOrFolder(packageFolder + L"\\" + name) &&
           AbsentOrFile(packageFolder + L"\\" + name + L".theme") &&
           AbsentOrFolder(packageFolder + L"\\Cursors");
}

ThemeApplyResult ApplyThemePackage(const CString& packageFolder, const CString& name)
{
    // Without its folder the package's paths would start at the drive's root.
    if (packageFolder.IsEmpty() || !IsSafeFileName(name))
        return ThemeApplyResult::NotPlaced;
    const CString themes = ThemesDirectory();
    if (!DirectoryExists(themes))
        return ThemeApplyResult::NotPlaced;
    // A package without its visual style has nothing to install; its
    // cursors are not moved either.
    if (!CanPlaceTheme(name) || !IsThemePackageSound(packageFolder, name) ||
        !DirectoryExists(packageFolder + L"\\" + name))
        return ThemeApplyResult::NotPlaced;
    // Recorded first: whatever of it reaches the theme folder is known as ours.
    if (!RecordPlacedTheme(name))
        return ThemeApplyResult::NotPlaced;
    const CString themeFile = themes + L"\\" + name + L".theme";
    const CString styleFolder = themes + L"\\" + name;
    const CString cursors = packageFolder + L"\\Cursors";
    if (DirectoryExists(cursors))
        MoveFolder(WindowsDirectory() + L"\\Cursors", cursors);
    // A package without a theme file still gets its visual style and
    // wallpaper below.
    const CString packagedTheme = packageFolder + L"\\" + name + L".theme";
    if (!MoveFolder(themes, packageFolder + L"\\" + name) ||
        (PathExists(packagedTheme) && !MoveFolder(themes, packagedTheme))) {
        if (!PathExists(themeFile) && !PathExists(styleFolder))
            ForgetPlacedTheme(name);
        return ThemeApplyResult::NotPlaced;
    }

    if (FileExists(themeFile))
        return OpenThemeFile(themeFile + L"\"") ? ThemeApplyResult::Applied : ThemeApplyResult::NotOpened;
    SetVisualStyle(styleFolder + L"\\" + name + L".msstyles");
    SetWallpaper(styleFolder + L"\\WALLPAPER\\" + name + L".jpg");
    return ThemeApplyResult::Applied;
}

bool OpenThemeFile(const CString& themePathWithQuote)
{
    const CString command = ThemeCommandLine(themePathWithQuote);
    std::vector<wchar_t> commandLine(command.GetString(), command.GetString() + command.GetLength() + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started = {};
    if (!StartProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
        CCorvaneMsgBox::Show(L"应用主题出现异常！", L"提示", MB_OK);
        return false;
    }
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);

    ThemeWindowSearch search = {DisplayDialogWindows() ? started.dwProcessId : 0, nullptr};
    for (int round = 0; round < kSearchRounds && !search.found; ++round) {
        Sleep(kSearchIntervalMs);
        EnumWindows(FindThemeDialogProc, reinterpret_cast<LPARAM>(&search));
    }
    if (!search.found)
        return false;

    if (DisplayDialogWindows())
        return ClickDisplayDialogOk(search.found);
    if (g_nOsMajorVersion == 6 && g_nOsMinorVersion <= 1) {
        // The theme is applied as the window opens; it is closed a moment later.
        Sleep(kPersonalisationOpenMs);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(search.found, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &ignored);
    }
    return true;
}

BOOL CALLBACK FindThemeDialogProc(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ThemeWindowSearch*>(param);
    const CString className = WindowText(window, GetClassNameW);
    bool match = false;
    if (search->processId != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        // Taken once it is shown: by then its buttons exist, and hiding it
        // is not undone by its own first show.
        match = owner == search->processId && className == L"#32770" && IsWindowVisible(window);
    } else {
        match = className == L"CabinetWClass" && WindowText(window, GetWindowTextW) == L"个性化";
    }
    if (!match)
        return TRUE;
    search->found = window;
    return FALSE;
}

CString ThemeFileFrom(const CString& file, const CString& folder)
{
    const int at = file.Find(folder + L"\\");
    return at < 0 ? file : file.Mid(at);
}

bool RemoveThemePackage(const CString& name, CurrentThemeFileReader currentTheme)
{
    // Only what this program placed: never a theme of Windows' own or of
    // someone else, whatever the item is called. "." or ".." could never
    // have been placed.
    if (!IsSafeFileName(name) || !IsPlacedTheme(name))
        return true;
    const CString themes = ThemesDirectory();
    const CString themeFile = themes + L"\\" + name + L".theme";
    const CString styleFolder = themes + L"\\" + name;
    const auto gone = [&] { return !PathExists(themeFile) && !PathExists(styleFolder); };
    if (gone())
        return ForgetPlacedTheme(name);
    // Nothing of ours is there under that name.
    if (!IsOwnPlacedTheme(name, themeFile, styleFolder))
        return true;
    CString current;
    if (!currentTheme(current))
        return false;
    if (ThemeFileFrom(current, name) == name + L"\\" + name + L".msstyles") {
        const wchar_t* fallback = DisplayDialogWindows() ? L"\\Luna.theme\"" : L"\\aero.theme\"";
        if (!OpenThemeFile(themes + fallback))
            return false;
        // Here the default theme was only offered, not applied: the theme
        // stays in use, and so do its files.
        if (ThemePageOnly())
            return false;
    }
    if (PathExists(themeFile)) {
        if (DeletePath(themeFile) && DirectoryExists(styleFolder))
            DeletePath(styleFolder);
    } else if (DirectoryExists(styleFolder)) {
        DeletePath(styleFolder);
    }
    return gone() && ForgetPlacedTheme(name);
}
