#include "updater/UpdateCommandLine.h"

#include "app/common/TextUtils.h"

#include <vector>

CString ParseUpdateCommandLine(const CString& commandLine)
{
    std::vector<CString> pieces;
    SplitString(commandLine, L"|", pieces, 0, CString());
    if (pieces.size() != 2 || pieces[0].Compare(L"TAG=Zenro_Run_Update") != 0 || pieces[1].IsEmpty())
        return CString();
    std::vector<CString> pair;
    SplitString(pieces[1], L"=", pair, 0, CString());
    if (pair.size() != 2 || pair[0].Compare(L"MD5") != 0)
        return CString();
    return pair[1];
}
