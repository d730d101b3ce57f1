// "radio": a radio box that checks itself and unchecks the other boxes of
// its group. Boxes with the same "group" name (exact) form one group across
// the whole process; boxes without one share the group with the empty name.
#pragma once

#include <string>

#include "skin/SkToggleBox.h"

class CSkRadioBox : public CSkToggleBox {
public:
    CSkRadioBox() noexcept;
    ~CSkRadioBox() override;

    const char* TagName() const override { return "radio"; }
    // Joins the group named when the load is done; a failed load joins none.
    BOOL LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;

    const std::string& Group() const noexcept { return m_group; }

protected:
    // Checks this box and unchecks the rest of its group; a checked box
    // stays checked.
    void OnClick() override;

private:
    // The group the box belongs to: the one it joined, even when "group" is
    // changed later.
    const std::string& MemberGroup() const noexcept { return m_registered ? m_registeredGroup : m_group; }

    std::string m_group;
    std::string m_registeredGroup;
    bool m_registered = false;
};
