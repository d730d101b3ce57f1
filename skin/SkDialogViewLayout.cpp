// Reading a dialog layout into the view, and replacing a panel's content.
#include "skin/SkDialogView.h"

#include <shlwapi.h>

#include <cstdio>

#include <tinyxml.h>

#include "skin/SkItemRelease.h"
#include "skin/SkPanelXml.h"
#include "skin/SkXml.h"

namespace {

// The dialog window's style before the layout adds to it: WS_POPUP | WS_SYSMENU.
constexpr DWORD kLayerBaseStyle = 0x80080000;
constexpr DWORD kResizeStyle = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kNoBorderExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr DWORD kBorderExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

int IntAttribute(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? StrToIntA(value) : 0;
}

// Loads a top panel from its element of the layer, if there is one, with the
// pos rule built from the format and the element's "height".
BOOL LoadTopPanel(CSkDialog& panel, const TiXmlElement* element, const char* posFormat)
{
    if (!panel.LoadFromXml(element))
        return FALSE;
    char pos[48];
    std::snprintf(pos, sizeof(pos), posFormat, IntAttribute(element, "height"));
    panel.ApplyAttribute("pos", pos, TRUE);
    return TRUE;
}

} // namespace

BOOL CSkDialogView::SetLayoutXml(const std::string& utf8)
{
    CSkItemUseScope inUse;
    m_layoutLoaded = FALSE;
    m_style = kLayerBaseStyle;
    m_exStyle = 0;
    m_header.SendSkMessage(SKM_DESTROY);
    m_body.SendSkMessage(SKM_DESTROY);
    m_footer.SendSkMessage(SKM_DESTROY);
    m_headerPresent = m_bodyPresent = m_footerPresent = FALSE;

    TiXmlDocument doc;
    if (!ParseSkinXml(utf8, doc)) {
        m_fullRepaint = TRUE;
        m_dirty = TRUE;
        m_dirtyRegion.Reset();
        if (m_hWnd)
            InvalidateRect(m_hWnd, nullptr, FALSE);
        return FALSE;
    }
    const TiXmlElement* layer = RootElement(doc);
    if (!HasName(layer, "layer")) {
        InvalidateLayout();
        return FALSE;
    }

    const char* title = layer->Attribute("title");
    m_title = title ? CString::FromUtf8(title) : CString();
    m_width = IntAttribute(layer, "width");
    m_height = IntAttribute(layer, "height");
    if (IntAttribute(layer, "appwin"))
        m_exStyle |= WS_EX_APPWINDOW;
    m_maximisable = FALSE;
    if (IntAttribute(layer, "resize")) {
        m_style |= kResizeStyle;
        m_maximisable = TRUE;
        if (IntAttribute(layer, "nomaxsize")) {
            m_style &= ~WS_MAXIMIZEBOX;
            m_maximisable = FALSE;
        }
    }
    m_exStyle |= IntAttribute(layer, "noborder") ? kNoBorderExStyle : kBorderExStyle;

    m_headerPresent = LoadTopPanel(m_header, layer->FirstChildElement("header"), "0,0,-0,%d");
    m_footerPresent = LoadTopPanel(m_footer, layer->FirstChildElement("footer"), "0,-%d,-0,-0");
    m_bodyPresent = LoadTopPanel(m_body, layer->FirstChildElement("body"), "0,0,-0,-0");

    m_layoutLoaded = TRUE;
    if (m_hWnd) {
        InvalidateLayout();
        m_hoverHandle = 0;
        m_pushedHandle = 0;
    }
    return TRUE;
}

BOOL CSkDialogView::SetPanelXml(UINT id, const std::string& utf8Xml)
{
    // A new child may notify the owner while it is placed, and the owner may
    // replace the panel again: the panel's list stays valid until here.
    CSkItemUseScope inUse;
    CSkWindow* panel = ReplacePanelChildren({&m_header, &m_body, &m_footer}, id, utf8Xml);
    if (!panel)
        return FALSE;
    RedrawItem(panel, FALSE);
    return TRUE;
}
