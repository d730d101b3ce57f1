#include "app/startup/Configuration.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/common/ConfigCodec.h"
#include "app/common/FileUtils.h"
#include "app/dialogs/FolderMove.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/DownloadRoot.h"
#include "app/startup/RunValue.h"
#include "download/Dunmere.h"
#include "skin/CorvaneMsgBox.h"

namespace {

// Checked in this order; any one missing ends start-up.
const wchar_t* const kRequiredFiles[] = {
    L"Config\\common.ini",
    L"Dunmere.dll",
    L"Local\\list\\menumanage.html",
    L"Data\\MyThemes.xml",
};

// Created in this order under the download root.
const wchar_t* const kDownloadFolders[] = {
    L"Ravonyx\\ico",
    L"Ravonyx\\download\\",
    L"Ravonyx\\theme\\",
    L"Ravonyx\\desktop\\",
};

// A default no installer writes: tells an absent key from a present one.
const wchar_t kAbsent[] = L"\x1\x2\x3";

// The value of key, or the default when the read gives nothing (absent,
// empty or not decodable).
CString ReadSetting(const CString& ini, const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    CString value;
    if (!ReadConfigValue(section, key, ini, fallback, MAX_PATH, value))
        return fallback;
    return value;
}

int ReadIntSetting(const CString& ini, const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    return _wtoi(ReadSetting(ini, section, key, fallback));
}

enum class PlainKey { Absent, Read, TooLong };

// One plain key of the merge file: Absent when absent or empty, TooLong when
// its value does not fit the buffer (it is not read).
PlainKey ReadPlainKey(const CString& file, const wchar_t* section, const wchar_t* key, CString& value)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetPrivateProfileStringW(section, key, kAbsent, buffer, MAX_PATH, file);
    if (length == 0 || wcscmp(buffer, kAbsent) == 0)
        return PlainKey::Absent;
    // A value cut to the buffer comes back one short of its size.
    if (length >= MAX_PATH - 1)
        return PlainKey::TooLong;
    value = buffer;
    return PlainKey::Read;
}

} // namespace

void FinishFolderMoveAtStart(const CString& programDir)
{
    CFolderMove move(programDir);
    CString report;
    move.Recover(report);
    if (!report.IsEmpty())
        CCorvaneMsgBox::Show(report, L"错误信息", MB_OK);
}

CString DateStampText(const SYSTEMTIME& date)
{
    CString text;
    text.Format(L"%u|%u|%u", date.wYear, date.wMonth, date.wDay);
    return text;
}

bool MergeInstallerSettings(const CString& temp, const CString& ini)
{
    bool allWritten = true;
    CString value;
    switch (ReadPlainKey(temp, L"DownLoad", L"Path", value)) {
    case PlainKey::Read:
        // Only a root the next start reads back exactly and can use.
        if (CheckDownloadRootText(value) == DownloadRootProblem::None)
            allWritten = WriteConfigValue(L"DownLoad", L"Path", value, ini) != 0 && allWritten;
        else
            allWritten = false;
        break;
    case PlainKey::TooLong:
        allWritten = false;
        break;
    case PlainKey::Absent:
        break;
    }
    if (ReadPlainKey(temp, L"Common", L"AutoStart", value) == PlainKey::Read)
        allWritten = WriteConfigValue(L"Common", L"AutoStart", value, ini) != 0 && allWritten;
    if (!allWritten)
        return false;
    return DeletePath(temp);
}

CString ConfigurationErrorText(int result, const CString& downloadDir)
{
    switch (result) {
    case kConfigMissingFile:
        return L"程序必备组件缺失，请重新安装程序！";
    case kConfigPathUnreadable:
        return L"程序配置文件无法正常读取，请重新安装程序！";
    case kConfigFolderFailed:
        return CString(L"文件保存目录无法创建，请检查") + downloadDir + L"Ravonyx" +
               L" 文件夹是否有读写权限！";
    default:
        return CString();
    }
}

int LoadConfiguration()
{
    const CString& dir = _Module.m_strAppDir;
    const CString ini = dir + L"Config\\common.ini";
    for (const wchar_t* name : kRequiredFiles) {
        if (!PathFileExistsW(dir + name))
            return kConfigMissingFile;
    }

    // A change of the download folder that did not end is finished or
    // undone before anything reads the root.
    FinishFolderMoveAtStart(dir);

    const CString temp = dir + L"Config\\common_temp.ini";
    if (PathFileExistsW(temp))
        MergeInstallerSettings(temp, ini);

    CString path;
    if (!ReadConfigValue(L"DownLoad", L"Path", ini, L"d:\\", MAX_PATH, path))
        return kConfigPathUnreadable;
    if (path.IsEmpty() || path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    _Module.m_strDownloadDir = path;

    const int tasks = ReadIntSetting(ini, L"DownLoad", L"Task", L"2");
    ChangeDownFileNum(tasks >= 1 && tasks <= 10 ? tasks : 2);

    for (const wchar_t* folder : kDownloadFolders) {
        const CString full = _Module.m_strDownloadDir + folder;
        if (!PathFileExistsW(full) && SHCreateDirectoryExW(nullptr, full, nullptr) != ERROR_SUCCESS)
            return kConfigFolderFailed;
    }

    SyncAutoRun(ReadIntSetting(ini, L"Common", L"AutoStart", L"1"));
    _Module.m_nAlertDown = ReadIntSetting(ini, L"Common", L"AlertDown", L"0");
    _Module.m_nSubscription = ReadIntSetting(ini, L"Common", L"Subscription", L"1");
    _Module.m_nReceiveAd = ReadIntSetting(ini, L"Common", L"ReceiveAd", L"1");

    CString useHotKey;
    if (ReadConfigValue(L"Common", L"UseHotKey", ini, L"0", MAX_PATH, useHotKey) && useHotKey != L"0") {
        _Module.m_strHotKey = ReadSetting(ini, L"Common", L"HotKey", L"0");
        _Module.m_nHotKeyVk = ReadIntSetting(ini, L"Common", L"HotKey_V", L"0");
    }

    CString installDate;
    if (!ReadConfigValue(L"Common", L"InstallDate", ini, L"0", MAX_PATH, installDate) ||
        installDate == L"0") {
        SYSTEMTIME now;
        GetLocalTime(&now);
        WriteConfigValues(
            {{L"Common", L"InstallDate", DateStampText(now)}, {L"Common", L"CheckHomeDate", L"1970|11|11"}},
            ini);
    }
    return kConfigOk;
}
