// The command line: "-autorun" from the Run value, or a request to download
// an item, "\id:<item id> \tid:<list kind>", from a link on a web page.
#include "app/startup/CorvaneModule.h"

#include <vector>

#include "app/common/TextUtils.h"

namespace {

// Leading decimal digits with an optional sign; 0 when there are none.
int LeadingNumber(const CString& text)
{
    return _wtoi(text);
}

} // namespace

void ParseCommandLine(const CString& text, CCorvaneModule& module)
{
    if (text == L"-autorun") {
        module.m_bAutoRun = 1;
        return;
    }
    if (text.Find(L"\\id:") != 0)
        return;
    std::vector<CString> pieces;
    SplitString(text, L" ", pieces, 0, L"");
    for (CString piece : pieces) {
        if (piece.Find(L"\\id:") == 0) {
            piece.Replace(L"\\id:", L"");
            module.m_nItemId = LeadingNumber(piece);
        } else if (piece.Find(L"\\tid:") == 0) {
            piece.Replace(L"\\tid:", L"");
            module.m_nItemKind = LeadingNumber(piece);
        }
    }
}
