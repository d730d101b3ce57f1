// The settings dialog: download folder, downloads at once and threads,
// resuming downloads at start, start with Windows, the boss key, the
// download-finished notice, the news and advertising pop-ups and what the
// main window's close button does. Opened modally from the main menu and
// the tray menu, one at a time; "确定" writes Config\common.ini and puts
// each change into effect at once.
#pragma once

#include <windows.h>

#include "app/dialogs/MyEdit.h"
#include "base/Handle.h"
#include "base/RefString.h"
#include "skin/SkDialogImpl.h"

constexpr UINT IDR_SETUP_LAYOUT = 129;
constexpr UINT IDR_SETUP_GENERAL_LAYOUT = 513;
constexpr UINT IDR_SETUP_DOWNLOAD_LAYOUT = 511;

// Items of the dialog and its two pages.
constexpr UINT IDC_SETUP_CLOSE = 60001;
constexpr UINT IDC_SETUP_TABS = 137;
constexpr UINT IDC_SETUP_PAGE_GENERAL = 4004;
constexpr UINT IDC_SETUP_PAGE_DOWNLOAD = 4002;
constexpr UINT IDC_SETUP_OK = 30505;
constexpr UINT IDC_SETUP_CANCEL = 30506;
constexpr UINT IDC_SETUP_AUTOSTART = 11008;
constexpr UINT IDC_SETUP_USEHOTKEY = 11009;
constexpr UINT IDC_SETUP_ALERTDOWN = 11010;
constexpr UINT IDC_SETUP_MINIMIZE = 11011;
constexpr UINT IDC_SETUP_EXIT = 11012;
// Both the real window of the hot-key edit and the Subscription check box:
// lookups of items by id find the check box, the real-window item finds
// the edit by its control id.
constexpr UINT IDC_SETUP_HOTKEY = 11013;
constexpr UINT IDC_SETUP_SUBSCRIPTION = 11013;
constexpr UINT IDC_SETUP_RECEIVEAD = 11014;
constexpr UINT IDC_SETUP_PATH = 102;
constexpr UINT IDC_SETUP_BROWSE = 30504;
constexpr UINT IDC_SETUP_AUTODOWN = 106;
constexpr UINT IDC_SETUP_TASK = 103;
constexpr UINT IDC_SETUP_THREAD = 104;

// The end code of every way out of the dialog.
constexpr int kSetupEndCode = 2;

class CGBSetup : public CSkDialogImpl<CGBSetup> {
public:
    // mainWindow is the program's main window: the boss key is registered
    // on it, whichever window the dialog is opened over.
    explicit CGBSetup(HWND mainWindow) : CSkDialogImpl(IDR_SETUP_LAYOUT), m_mainWindow(mainWindow) {}

    // Runs the dialog modally, or brings the one already open forward (0).
    // The dialog's end code otherwise.
    static int Open(HWND mainWindow);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // TRUE when the notification was taken.
    BOOL OnSetupNotify(LPARAM lParam);

    // WM_INITDIALOG: the real windows and every shown value from the file.
    BOOL InitSettingsPage();
    // Tab 1 shows the download page, any other the general page.
    void SwitchSettingsPage(int index);
    // The hot-key edit follows the boss-key check box.
    void EnableHotKeyEdit();
    // Puts the folder the user picks into the path edit.
    void BrowseDownloadFolder();
    // "确定": writes what changed, puts it into effect and closes.
    void SaveSettings();

    // Writes value under key unless the stored number (default when absent)
    // is non-zero and equal to it. True when written.
    static bool WriteIniIntIfChanged(int value, int defaultValue, const wchar_t* key, const wchar_t* section,
                                     const CString& file);

    // Registers the boss key on the main window (the dialog's owner) from
    // the text's modifiers and the edit's key code.
    BOOL RegisterHotKeyFromText(const CString& text, int id);

    HWND m_pathEdit = nullptr;
    CMyEdit m_hotKeyEdit;
    HWND m_taskCombo = nullptr;
    HWND m_threadCombo = nullptr;
    CFontHandle m_font;

private:
    enum class FolderStep { Saved, StayOpen, Ended };

    HWND m_mainWindow;

    BOOL IsItemChecked(UINT id);
    HWND MainWindow() const;
    // Step one of saving: the product folder follows a changed download root.
    FolderStep SaveDownloadFolder(const CString& ini);
    // A Path that cannot be used: the message, and the path edit to mend it.
    void RefusePath(const wchar_t* text);
    // The boss key as the user left it can be saved: no key chosen shows a
    // message. Also takes the stored key code when none was pressed.
    bool CheckHotKeyChosen(const CString& ini);
    // The boss key: written, and registered on the main window at once.
    bool SaveHotKey(const CString& ini);
    // A combo's number: the selected item, else a typed number in 1..count;
    // 0 when the text is neither (the stored value stays).
    static int ComboNumber(HWND combo, int count);
    void AbortSaving();
    void BringForward();
};
