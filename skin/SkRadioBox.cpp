#include "skin/SkRadioBox.h"

#include <vsstyle.h>

#include <cstring>

#include "skin/SkRadioGroups.h"

namespace {

// A 12 x 12 glyph centred vertically; the text 14 pixels in, on one line,
// centred vertically.
const SkToggleGeometry kRadioGeometry = {
    BP_RADIOBUTTON, DFCS_BUTTONRADIO, 12, 12, 14, DT_BOTTOM, DT_VCENTER | DT_SINGLELINE, 12,
};

} // namespace

CSkRadioBox::CSkRadioBox() noexcept : CSkToggleBox(kRadioGeometry) {}

CSkRadioBox::~CSkRadioBox()
{
    if (m_registered)
        UnregisterRadio(m_registeredGroup, this);
}

BOOL CSkRadioBox::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkToggleBox::LoadFromXml(element))
        return FALSE;
    if (m_registered)
        UnregisterRadio(m_registeredGroup, this);
    m_registeredGroup = m_group;
    RegisterRadio(m_registeredGroup, this);
    m_registered = true;
    return TRUE;
}

HRESULT CSkRadioBox::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkToggleBox::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "group") == 0) {
        m_group = value ? value : "";
        return S_FALSE;
    }
    return E_FAIL;
}

void CSkRadioBox::OnClick()
{
    SelectRadio(MemberGroup(), this);
}
