#include "skin/SkPanelXml.h"

#include "skin/SkDialog.h"
#include "skin/SkItemFactory.h"
#include "skin/SkXml.h"

namespace {

CSkWindow* FindInPanels(std::initializer_list<CSkDialog*> topPanels, UINT id)
{
    for (CSkDialog* panel : topPanels)
        if (CSkWindow* found = panel ? panel->FindItemById(id) : nullptr)
            return found;
    return nullptr;
}

} // namespace

CSkWindow* ReplacePanelChildren(std::initializer_list<CSkDialog*> topPanels, UINT id,
                                const std::string& utf8Xml)
{
    TiXmlDocument doc;
    if (!ParseSkinXml(utf8Xml, doc))
        return nullptr;
    CSkWindow* item = FindInPanels(topPanels, id);
    if (!item || !(item->MatchesTag("dlg") || item->MatchesTag("tab") || item->MatchesTag("dlgfile")))
        return nullptr;
    auto* panel = static_cast<CSkDialog*>(item);
    CreateChildren(panel, RootElement(doc));
    panel->RepositionChildren();
    if (!panel->IsHiddenInTree())
        panel->SendSkMessage(SKM_SHOW, TRUE);
    return panel;
}
