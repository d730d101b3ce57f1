// Writes a setting again and again until it is killed, as the program writes
// its settings: round n stores "D:\下载\<n>\" as [DownLoad] Path of the file
// named by RAVONYX_CONFIG_PATH. After the first write it sets the event
// named by RAVONYX_CONFIG_WRITTEN. Exit code 3: a write failed.
#include "app/common/ConfigCodec.h"

#include <windows.h>

#include "tests/support/KilledProbe.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const CString path = ProbeSetting(L"RAVONYX_CONFIG_PATH");
    HANDLE written = OpenEventW(EVENT_MODIFY_STATE, FALSE, ProbeSetting(L"RAVONYX_CONFIG_WRITTEN"));
    for (int round = 1;; ++round) {
        CString value;
        value.Format(L"D:\\下载\\%d\\", round);
        if (!WriteConfigValue(L"DownLoad", L"Path", value, path))
            return 3;
        if (written)
            SetEvent(written);
    }
}
