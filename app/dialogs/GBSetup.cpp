#include "app/dialogs/GBSetup.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "app/common/ConfigCodec.h"
#include "app/common/FileUtils.h"
#include "app/common/TextUtils.h"
#include "app/dialogs/FolderIdentity.h"
#include "app/dialogs/FolderMove.h"
#include "app/mainwnd/HotKey.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/DownloadRoot.h"
#include "app/startup/RunValue.h"
#include "download/Dunmere.h"
#include "skin/CorvaneMsgBox.h"

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kComboStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_OEMCONVERT | CBS_DISABLENOSCROLL;
static_assert(kEditStyle == 0x50810080, "edit style");
static_assert(kComboStyle == 0x50010882, "combo style");

constexpr int kTaskCount = 10;
constexpr int kThreadCount = 5;

const wchar_t kErrorCaption[] = L"错误信息";
const wchar_t kProductFolder[] = L"Ravonyx";
const wchar_t kMoveFailedText[] = L"无法移动文件到目标文件夹，请检查账户权限！";
const wchar_t kWriteFailedText[] = L"无法修改配置文件，修改配置失败！";

// The one settings dialog while it is open.
CGBSetup* g_openSetup = nullptr;

CString SettingsFile()
{
    return _Module.m_strAppDir + L"Config\\common.ini";
}

CString ReadSetting(const CString& ini, const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    CString value;
    if (!ReadConfigValue(section, key, ini, fallback, MAX_PATH, value))
        value.Empty();
    return value;
}

int ReadIntSetting(const CString& ini, const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    return _wtoi(ReadSetting(ini, section, key, fallback));
}

CString WindowText(HWND hwnd)
{
    CString text;
    const int length = GetWindowTextLengthW(hwnd);
    GetWindowTextW(hwnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

void ShowError(const wchar_t* text)
{
    CCorvaneMsgBox::Show(text, kErrorCaption, MB_OK);
}

HWND MakeChild(const wchar_t* cls, DWORD style, HWND parent, UINT id, HFONT font, const wchar_t* text)
{
    HWND child = CreateWindowExW(WS_EX_NOPARENTNOTIFY, cls, L"", style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (!child)
        return nullptr;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (text)
        SetWindowTextW(child, text);
    return child;
}

void FillCombo(HWND combo, int count, int selection)
{
    for (int n = 1; n <= count; ++n) {
        CString item;
        item.Format(L"%d", n);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.GetString()));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

// The list index of a stored number: value - 1, or 1 when that is outside
// the list.
int ListIndex(int value, int count)
{
    return value >= 1 && value <= count ? value - 1 : 1;
}

const wchar_t* DownloadRootProblemText(DownloadRootProblem problem)
{
    switch (problem) {
    case DownloadRootProblem::NotAbsoluteLocal:
        return L"下载目录必须是本机磁盘上的完整路径（例如 D:\\下载），请重新填写！";
    case DownloadRootProblem::BadCharacter:
        return L"下载目录中含有文件夹名称不能使用的字符，请重新填写！";
    case DownloadRootProblem::NotStorable:
        return L"下载目录中含有无法保存的字符，请换用其他目录！";
    case DownloadRootProblem::TooLong:
        return L"下载目录的路径太长，请换用较短的目录！";
    case DownloadRootProblem::DeviceName:
        return L"下载目录中含有系统保留的设备名称（如 con、nul、com1），请重新填写！";
    case DownloadRootProblem::TrailingBlankOrDot:
        return L"下载目录中的文件夹名称不能以空格或句点结尾，请重新填写！";
    case DownloadRootProblem::NotFixedDrive:
        return L"下载目录所在的磁盘不存在，或不是本机的固定磁盘，请重新填写！";
    case DownloadRootProblem::ThroughFile:
        return L"下载目录的路径上有一个同名的文件，不是文件夹，请换用其他目录！";
    case DownloadRootProblem::None:
        break;
    }
    return nullptr;
}

// The failure, then what a failed undo left where.
void ShowFailure(const wchar_t* text, const CString& undoFailure)
{
    ShowError(text);
    if (!undoFailure.IsEmpty())
        ShowError(undoFailure);
}

} // namespace

int CGBSetup::Open(HWND mainWindow)
{
    if (g_openSetup) {
        g_openSetup->BringForward();
        return 0;
    }
    CGBSetup setup(mainWindow);
    g_openSetup = &setup;
    const int code = setup.DoModal();
    g_openSetup = nullptr;
    return code;
}

void CGBSetup::BringForward()
{
    if (!m_hWnd)
        return;
    if (IsIconic(m_hWnd))
        ShowWindow(m_hWnd, SW_RESTORE);
    SetForegroundWindow(m_hWnd);
    SetActiveWindow(m_hWnd);
}

BOOL CGBSetup::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_NOTIFY && wParam == IDC_SKIN_VIEW && OnSetupNotify(lParam)) {
        result = 0;
        return TRUE;
    }
    if (msg == WM_INITDIALOG) {
        result = InitSettingsPage();
        return TRUE;
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

BOOL CGBSetup::OnSetupNotify(LPARAM lParam)
{
    if (const SkTabChangeNotify* change = AsTabChanging(m_hWnd, lParam)) {
        if (change->tabCtrlId != IDC_SETUP_TABS)
            return FALSE;
        SwitchSettingsPage(change->newSel);
        return TRUE;
    }
    const SkItemClickNotify* click = AsItemClick(m_hWnd, lParam);
    if (!click)
        return FALSE;
    switch (click->itemId) {
    case IDC_SETUP_USEHOTKEY:
        EnableHotKeyEdit();
        return TRUE;
    case IDC_SETUP_BROWSE:
        BrowseDownloadFolder();
        return TRUE;
    case IDC_SETUP_OK:
        SaveSettings();
        return TRUE;
    // Escape and the window's close (item IDCANCEL) leave like "取消".
    case IDCANCEL:
    case IDC_SETUP_CANCEL:
    case IDC_SETUP_CLOSE:
        EndDialog(kSetupEndCode);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CGBSetup::InitSettingsPage()
{
    m_font.Reset(CreateFontW(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"宋体"));

    const CString ini = SettingsFile();
    const CString path = ReadSetting(ini, L"DownLoad", L"Path", L"");
    const int useHotKey = ReadIntSetting(ini, L"Common", L"UseHotKey", L"0");
    // A text without its key code (a fresh install's "0", the " " of a key
    // turned off) is no key: the edit shows it empty.
    CString hotKey = ReadSetting(ini, L"Common", L"HotKey", L"");
    if (!HotKeyTextNamesKey(hotKey) || ReadIntSetting(ini, L"Common", L"HotKey_V", L"0") == 0)
        hotKey.Empty();
    const int task = ReadIntSetting(ini, L"DownLoad", L"Task", L"2");
    const int thread = ReadIntSetting(ini, L"DownLoad", L"Thread", L"3");
    const int autoDown = ReadIntSetting(ini, L"DownLoad", L"AutoDown", L"0");
    const int autoStart = ReadIntSetting(ini, L"Common", L"AutoStart", L"1");
    const int alertDown = ReadIntSetting(ini, L"Common", L"AlertDown", L"0");
    const int minOrClose = ReadIntSetting(ini, L"Common", L"MinOrClose", L"1");
    const int subscription = ReadIntSetting(ini, L"Common", L"Subscription", L"1");
    const int receiveAd = ReadIntSetting(ini, L"Common", L"ReceiveAd", L"1");

    HWND view = m_view.m_hWnd;
    m_pathEdit = MakeChild(L"EDIT", kEditStyle, view, IDC_SETUP_PATH, m_font.Get(), path);
    HWND hotKeyEdit = MakeChild(L"EDIT", kEditStyle, view, IDC_SETUP_HOTKEY, m_font.Get(), hotKey);
    if (hotKeyEdit)
        m_hotKeyEdit.SubclassWindow(hotKeyEdit);

    if (useHotKey == 1) {
        m_view.SetItemCheck(IDC_SETUP_USEHOTKEY, TRUE);
    } else {
        m_view.SetItemCheck(IDC_SETUP_USEHOTKEY, FALSE);
        EnableWindow(hotKeyEdit, FALSE);
    }

    m_taskCombo = MakeChild(L"COMBOBOX", kComboStyle, view, IDC_SETUP_TASK, m_font.Get(), nullptr);
    m_threadCombo = MakeChild(L"COMBOBOX", kComboStyle, view, IDC_SETUP_THREAD, m_font.Get(), nullptr);
    FillCombo(m_taskCombo, kTaskCount, ListIndex(task, kTaskCount));
    FillCombo(m_threadCombo, kThreadCount, ListIndex(thread, kThreadCount));

    m_view.SetItemCheck(IDC_SETUP_AUTODOWN, autoDown == 1);
    m_view.SetItemCheck(IDC_SETUP_AUTOSTART, autoStart == 1);
    m_view.SetItemCheck(IDC_SETUP_ALERTDOWN, alertDown == 1);
    m_view.SetItemCheck(IDC_SETUP_SUBSCRIPTION, subscription == 1);
    m_view.SetItemCheck(IDC_SETUP_RECEIVEAD, receiveAd == 1);
    m_view.SetItemCheck(minOrClose == 1 ? IDC_SETUP_MINIMIZE : IDC_SETUP_EXIT, TRUE);
    return TRUE;
}

void CGBSetup::SwitchSettingsPage(int index)
{
    const BOOL download = index == 1;
    m_view.SetItemVisible(IDC_SETUP_PAGE_DOWNLOAD, download);
    m_view.SetItemVisible(IDC_SETUP_PAGE_GENERAL, !download);
}

void CGBSetup::EnableHotKeyEdit()
{
    EnableWindow(m_hotKeyEdit.m_hWnd, IsItemChecked(IDC_SETUP_USEHOTKEY));
}

void CGBSetup::BrowseDownloadFolder()
{
    BROWSEINFOW info = {};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = L"请选择路径: ";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path) && path[0])
        SetWindowTextW(m_pathEdit, path);
    CoTaskMemFree(chosen);
}

bool CGBSetup::WriteIniIntIfChanged(int value, int defaultValue, const wchar_t* key, const wchar_t* section,
                                    const CString& file)
{
    CString fallback;
    fallback.Format(L"%d", defaultValue);
    const int stored = ReadIntSetting(file, section, key, fallback);
    if (stored != 0 && stored == value)
        return false;
    CString text;
    text.Format(L"%d", value);
    return WriteConfigValue(section, key, text, file) != 0;
}

BOOL CGBSetup::RegisterHotKeyFromText(const CString& text, int id)
{
    return ::RegisterHotKeyFromText(MainWindow(), text, id, static_cast<UINT>(m_hotKeyEdit.m_nVirtualKey));
}

void CGBSetup::SaveSettings()
{
    const CString ini = SettingsFile();
    if (IsItemChecked(IDC_SETUP_USEHOTKEY) && !CheckHotKeyChosen(ini))
        return;

    if (SaveDownloadFolder(ini) != FolderStep::Saved)
        return;

    if (const int task = ComboNumber(m_taskCombo, kTaskCount)) {
        if (WriteIniIntIfChanged(task, 2, L"Task", L"DownLoad", ini))
            ChangeDownFileNum(task);
    }
    // Running downloads keep their threads; the number is for the next ones.
    if (const int thread = ComboNumber(m_threadCombo, kThreadCount))
        WriteIniIntIfChanged(thread, 3, L"Thread", L"DownLoad", ini);

    // The readers take an absent AutoDown as 0, so 0 is its default here too.
    WriteIniIntIfChanged(IsItemChecked(IDC_SETUP_AUTODOWN), 0, L"AutoDown", L"DownLoad", ini);

    const int autoStart = IsItemChecked(IDC_SETUP_AUTOSTART);
    if (WriteIniIntIfChanged(autoStart, 0, L"AutoStart", L"Common", ini))
        SyncAutoRun(autoStart);

    if (!SaveHotKey(ini))
        return;

    const int alertDown = IsItemChecked(IDC_SETUP_ALERTDOWN);
    if (WriteIniIntIfChanged(alertDown, 0, L"AlertDown", L"Common", ini))
        _Module.m_nAlertDown = alertDown;
    // The main window reads it at each click on its close button.
    WriteIniIntIfChanged(IsItemChecked(IDC_SETUP_MINIMIZE), 1, L"MinOrClose", L"Common", ini);
    const int subscription = IsItemChecked(IDC_SETUP_SUBSCRIPTION);
    if (WriteIniIntIfChanged(subscription, 0, L"Subscription", L"Common", ini))
        _Module.m_nSubscription = subscription;
    const int receiveAd = IsItemChecked(IDC_SETUP_RECEIVEAD);
    if (WriteIniIntIfChanged(receiveAd, 0, L"ReceiveAd", L"Common", ini))
        _Module.m_nReceiveAd = receiveAd;

    EndDialog(kSetupEndCode);
}

bool CGBSetup::CheckHotKeyChosen(const CString& ini)
{
    const CString text = WindowText(m_hotKeyEdit.m_hWnd);
    if (HotKeyTextNamesKey(text) && m_hotKeyEdit.m_nVirtualKey == 0) {
        // No key pressed now: the key shown is the stored one, with its code.
        if (text == ReadSetting(ini, L"Common", L"HotKey", L""))
            m_hotKeyEdit.m_nVirtualKey = ReadIntSetting(ini, L"Common", L"HotKey_V", L"0");
    }
    if (HotKeyTextNamesKey(text) && m_hotKeyEdit.m_nVirtualKey != 0)
        return true;
    CCorvaneMsgBox::Show(L"请在老板键输入框中按下要使用的按键，或取消“启用老板键”。", L"提示", MB_OK);
    SetFocus(m_hotKeyEdit.m_hWnd);
    return false;
}

CGBSetup::FolderStep CGBSetup::SaveDownloadFolder(const CString& ini)
{
    const CString typed = WindowText(m_pathEdit);
    if (typed.IsEmpty())
        return FolderStep::Saved;
    // Without a stored Path the program runs on the root it started with.
    CString old;
    if (!ReadConfigValue(L"DownLoad", L"Path", ini, _Module.m_strDownloadDir, MAX_PATH, old) ||
        old.IsEmpty()) {
        ShowError(L"无法获取配置文件信息，修改配置信息失败！");
        return FolderStep::StayOpen;
    }
    if (old == typed)
        return FolderStep::Saved;
    // Only a root the next start reads back exactly and can use is written.
    DownloadRootProblem problem = CheckDownloadRoot(typed);
    const CString newRoot = WithSlash(typed);
    const CString to = newRoot + kProductFolder;
    const DWORD productFolder = GetFileAttributesW(to);
    if (problem == DownloadRootProblem::None && productFolder != INVALID_FILE_ATTRIBUTES &&
        !(productFolder & FILE_ATTRIBUTE_DIRECTORY))
        problem = DownloadRootProblem::ThroughFile;
    if (problem != DownloadRootProblem::None) {
        RefusePath(DownloadRootProblemText(problem));
        return FolderStep::StayOpen;
    }

    // A move an earlier failure left half undone, or finished with its note
    // still there, is settled before Path is written at all: the note says
    // which way it goes by the Path it finds.
    CFolderMove move(_Module.m_strAppDir);
    CString left;
    if (!move.Recover(left)) {
        ShowError(left.IsEmpty() ? CString(kMoveFailedText) : left);
        return FolderStep::StayOpen;
    }
    if (!left.IsEmpty())
        ShowError(left);

    // The same folder written otherwise: only the text changes.
    const CString oldRoot = WithSlash(old);
    if (IsSameFolder(oldRoot, newRoot)) {
        if (!WriteConfigValue(L"DownLoad", L"Path", typed, ini)) {
            ShowError(kWriteFailedText);
            return FolderStep::StayOpen;
        }
        _Module.m_strDownloadDir = newRoot;
        return FolderStep::Saved;
    }
    const CString from = oldRoot + kProductFolder;
    if (IsInsideFolder(to, from)) {
        ShowError(kMoveFailedText);
        AbortSaving();
        return FolderStep::Ended;
    }

    const CFolderMove::Prepared prepared = move.Prepare(old, typed);
    if (prepared == CFolderMove::Prepared::TooLong) {
        RefusePath(L"移动后部分文件的路径将超过系统允许的长度，请换用较短的目录！");
        return FolderStep::StayOpen;
    }
    if (prepared != CFolderMove::Prepared::Ready) {
        ShowError(kMoveFailedText);
        AbortSaving();
        return FolderStep::Ended;
    }
    if (move.TargetExists() &&
        CCorvaneMsgBox::Show(L"发现目标文件夹已经存在，覆盖此文件夹？", L"覆盖提示", MB_YESNO) != IDYES) {
        AbortSaving();
        return FolderStep::Ended;
    }
    switch (move.Run()) {
    case CFolderMove::Outcome::MoveFailed:
        ShowFailure(kMoveFailedText, move.UndoReport());
        AbortSaving();
        return FolderStep::Ended;
    case CFolderMove::Outcome::PathNotWritten:
        ShowFailure(kWriteFailedText, move.UndoReport());
        return FolderStep::StayOpen;
    case CFolderMove::Outcome::Moved:
        break;
    }
    _Module.m_strDownloadDir = newRoot;
    if (!move.KeptReport().IsEmpty())
        ShowError(move.KeptReport());
    return FolderStep::Saved;
}

void CGBSetup::RefusePath(const wchar_t* text)
{
    ShowError(text);
    if (IsWindowVisible(m_pathEdit))
        SetFocus(m_pathEdit);
}

bool CGBSetup::SaveHotKey(const CString& ini)
{
    const int on = IsItemChecked(IDC_SETUP_USEHOTKEY);
    const int wasOn = ReadIntSetting(ini, L"Common", L"UseHotKey", L"0");
    WriteIniIntIfChanged(on, 0, L"UseHotKey", L"Common", ini);
    const int id = HotKeyId();
    if (!on) {
        if (wasOn != 0) {
            UnregisterHotKey(MainWindow(), id);
            WriteConfigValue(L"Common", L"HotKey", L" ", ini); // an empty value would write nothing
        }
        return true;
    }
    const CString text = WindowText(m_hotKeyEdit.m_hWnd);
    CString stored;
    if (text.IsEmpty() || !ReadConfigValue(L"Common", L"HotKey", ini, L"0", MAX_PATH, stored))
        return true;
    if (text == stored && wasOn == 1)
        return true;
    UnregisterHotKey(MainWindow(), id);
    RegisterHotKeyFromText(text, id);
    if (!WriteConfigValue(L"Common", L"HotKey", text, ini)) {
        AbortSaving();
        return false;
    }
    CString code;
    code.Format(L"%d", m_hotKeyEdit.m_nVirtualKey);
    WriteConfigValue(L"Common", L"HotKey_V", code, ini);
    return true;
}

int CGBSetup::ComboNumber(HWND combo, int count)
{
    CString text = WindowText(combo);
    const int selection = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (selection >= 0 && selection < count) {
        CString item;
        const int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, selection, 0));
        if (length > 0) {
            SendMessageW(combo, CB_GETLBTEXT, selection,
                         reinterpret_cast<LPARAM>(item.GetBuffer(length + 1)));
            item.ReleaseBuffer();
        }
        if (item == text)
            return selection + 1;
    }
    text.Trim();
    if (!IsAllDigits(text) || text.GetLength() > 2)
        return 0;
    const int typed = _wtoi(text);
    return typed >= 1 && typed <= count ? typed : 0;
}

void CGBSetup::AbortSaving()
{
    ShowError(L"无法完整保存修改，请检查账户权限，并重新开启琅函箱！");
    EndDialog(kSetupEndCode);
}

BOOL CGBSetup::IsItemChecked(UINT id)
{
    CSkWindow* item = m_view.FindItem(id);
    return item && (item->m_state & SKS_CHECKED) ? 1 : 0;
}

HWND CGBSetup::MainWindow() const
{
    return m_mainWindow;
}
