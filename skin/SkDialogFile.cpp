#include "skin/SkDialogFile.h"

#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "skin/SkItemFactory.h"
#include "skin/SkResource.h"
#include "skin/SkXml.h"

namespace {

// The "dlgfile" resources being loaded on this thread, outermost first: a
// file that includes itself, directly or through others, would otherwise
// load without end.
class CIncludeGuard {
public:
    explicit CIncludeGuard(UINT resourceId)
    {
        std::vector<UINT>& loading = Loading();
        m_entered = std::find(loading.begin(), loading.end(), resourceId) == loading.end();
        if (m_entered)
            loading.push_back(resourceId);
    }
    ~CIncludeGuard()
    {
        if (m_entered)
            Loading().pop_back();
    }
    CIncludeGuard(const CIncludeGuard&) = delete;
    CIncludeGuard& operator=(const CIncludeGuard&) = delete;

    // FALSE when the resource is already being loaded further out.
    BOOL Entered() const noexcept { return m_entered; }

private:
    static std::vector<UINT>& Loading()
    {
        thread_local std::vector<UINT> loading;
        return loading;
    }

    BOOL m_entered = FALSE;
};

} // namespace

BOOL CSkDialogFile::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    const char* src = element->Attribute("src");
    if (!src || !*src)
        return FALSE;
    const UINT resourceId = static_cast<UINT>(StrToIntA(src));
    CIncludeGuard guard(resourceId);
    if (!guard.Entered())
        return FALSE; // an include of itself: the panel stays empty
    std::string text;
    if (!LoadResourceData(resourceId, L"xml", text))
        return TRUE;
    TiXmlDocument doc;
    if (!ParseSkinXml(text, doc))
        return FALSE;
    CreateChildren(this, RootElement(doc));
    return TRUE;
}
