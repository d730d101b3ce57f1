// The module state of the main program: one global object, _Module, made by
// static initialisation before the entry function runs. Every part of the
// program reads it: paths, version, settings taken at start-up, the request
// from the command line, the skin window manager and the single-instance
// block.
#pragma once

#include <windows.h>

#include "app/startup/SingleInstance.h"
#include "base/AppModule.h"
#include "base/RefString.h"
#include "skin/SkWinManager.h"

class CCorvaneModule : public CAppModule {
public:
    CCorvaneModule();
    ~CCorvaneModule() override;

    CString m_strModulePath;
    CString m_strAppDir; // ends with "\"
    CString m_strVersion;
    CString m_strDownloadDir; // ends with "\"
    CString m_strMainMd5;
    CString m_strDllMd5;
    CString m_strHotKey;
    int m_nAlertDown = 0;
    int m_nHotKeyVk = 0;
    int m_nSubscription = 1;
    int m_nReceiveAd = 1;
    BYTE m_bAutoRun = 0;
    BYTE m_bNewVersion = 0;
    int m_nItemId = 0;
    int m_nItemKind = 0;
    volatile LONG m_bUpdateRunning = 0; // written by the update thread
    HMODULE m_hRichEdit = nullptr;      // never freed
    SkWinManager m_winManager;
    CInstanceMapping m_instanceMapping;
};

extern CCorvaneModule _Module;

// Initialises the module and fills the program path, its folder and its
// ProductVersion. A failure code when the module could not be initialised or
// the path not read.
HRESULT InitModulePaths(CCorvaneModule& module = _Module);

// Takes "-autorun" (the whole text, case-sensitive) or a request "\id:N
// \tid:K" (only when the text begins with "\id:") into the module.
void ParseCommandLine(const CString& text, CCorvaneModule& module = _Module);
