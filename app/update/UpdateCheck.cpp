#include "app/update/UpdateCheck.h"

#include "app/common/ConfigCodec.h"
#include "app/common/FileVersion.h"
#include "app/common/HttpText.h"
#include "app/common/ServerAddresses.h"
#include "app/startup/CorvaneModule.h"
#include "app/update/UpdatePackage.h"
#include "app/update/UpdaterStart.h"
#include "app/update/VersionFile.h"
#include "skin/CorvaneMsgBox.h"

namespace {

constexpr wchar_t kUpdaterFile[] = L"Uplark.exe";
constexpr wchar_t kUpdaterPackage[] = L"Uplark.zip";
constexpr wchar_t kErrorCaption[] = L"错误信息";
constexpr wchar_t kUpdateCaption[] = L"升级提示";

// Only the check that holds the flag brings the updater up to date and
// starts it; the main window's end waits while it is held.
class CUpdateClaim {
public:
    CUpdateClaim() : m_held(InterlockedCompareExchange(&_Module.m_bUpdateRunning, 1, 0) == 0) {}
    CUpdateClaim(const CUpdateClaim&) = delete;
    CUpdateClaim& operator=(const CUpdateClaim&) = delete;
    ~CUpdateClaim()
    {
        if (m_held)
            InterlockedExchange(&_Module.m_bUpdateRunning, 0);
    }
    bool Held() const { return m_held; }

private:
    bool m_held;
};

CString SettingsFile()
{
    return _Module.m_strAppDir + L"Config\\common.ini";
}

// Asks or tells about a new main version; true when it is to be installed.
// The answer is this check's own: another check that runs meanwhile asks
// its user for itself.
bool ConfirmMainUpdate(int mode)
{
    CString autoUpdate;
    ReadConfigValue(L"Update", L"AutoUpdate", SettingsFile(), L"0", MAX_PATH, autoUpdate);
    if (autoUpdate == L"0") {
        if (CCorvaneMsgBox::Show(L"发现有新版本，是否自动升级！", kUpdateCaption, MB_YESNO) != IDYES)
            return false;
        WriteConfigValue(L"Update", L"AutoUpdate", L"1", SettingsFile());
    } else if (mode == kUpdateCheckManual) {
        CCorvaneMsgBox::Show(L"发现有新版本,自动升级已经启动！", kUpdateCaption, MB_OK);
    }
    return true;
}

void UpdateTheUpdater(const VersionFile& listed, const UpdateServers& servers)
{
    if (!listed.hasDllVersion || !listed.hasDllMd5)
        return;
    // Read now, not before the question: another check may have replaced it
    // meanwhile.
    CString installed;
    GetFileProductVersion(_Module.m_strAppDir + kUpdaterFile, installed);
    if (listed.dllVersion == installed)
        return;
    _Module.m_strDllMd5 = listed.dllMd5;
    CUpdatePackage package(_Module.m_strAppDir, servers.downloadSite);
    package.m_strTarget = kUpdaterFile;
    package.m_strPackage = kUpdaterPackage;
    package.m_strMd5 = listed.dllMd5;
    if (package.Download() == 1)
        package.Install();
}

} // namespace

UpdateServers DefaultUpdateServers()
{
    return UpdateServers{RAVONYX_CONTENT_SITE, RAVONYX_DOWNLOAD_SITE};
}

unsigned CheckForUpdate(int mode)
{
    return CheckForUpdate(mode, DefaultUpdateServers());
}

unsigned CheckForUpdate(int mode, const UpdateServers& servers)
{
    const bool manual = mode == kUpdateCheckManual;
    CString reply;
    if (!HttpGetText(servers.contentSite + kVersionFilePath, reply, kVersionFileSize)) {
        if (manual)
            CCorvaneMsgBox::Show(L"无法连接服务器，请检查您的网络！", kErrorCaption, MB_OK);
        return 0;
    }
    VersionFile listed;
    if (!ParseVersionFile(reply, listed)) {
        if (manual)
            CCorvaneMsgBox::Show(L"版本信息错误，请检查您的网络！", kErrorCaption, MB_OK);
        return 0;
    }

    // What this check found and what its user said decide for it alone.
    const bool found =
        listed.hasMainVersion && listed.hasMainMd5 && listed.mainVersion != _Module.m_strVersion;
    bool accepted = false;
    if (found) {
        _Module.m_strMainMd5 = listed.mainMd5;
        accepted = ConfirmMainUpdate(mode);
        if (accepted)
            _Module.m_bNewVersion = 1;
    } else if (manual) {
        CCorvaneMsgBox::Show(L"您的版本已是最新，感谢您保持主动升级的良好习惯！", kUpdateCaption, MB_OK);
    }

    // A check that finds another one at work leaves the updater to it.
    CUpdateClaim claim;
    if (!claim.Held())
        return 0;
    // The new updater is in place before it is started for the main update.
    UpdateTheUpdater(listed, servers);
    if (accepted)
        StartUpdater(_Module.m_strAppDir, listed.mainMd5);
    return 0;
}
