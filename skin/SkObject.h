// The root of everything a skin XML text describes: items, skins and styles.
// Each class has its own XML tag and takes its settings as attributes given
// as two UTF-8 strings.
#pragma once

#include <windows.h>

class TiXmlElement;

class CSkObject {
public:
    CSkObject() = default;
    CSkObject(const CSkObject&) = default;
    CSkObject& operator=(const CSkObject&) = default;
    virtual ~CSkObject() = default;

    // TRUE when tag is exactly the class's own tag.
    virtual BOOL MatchesTag(const char* tag) const;
    virtual const char* TagName() const = 0;
    // Applies every attribute of the element in document order through
    // ApplyAttribute (loading TRUE), ignoring the results. FALSE only for a
    // missing element.
    virtual BOOL LoadFromXml(const TiXmlElement* element);
    // S_OK or S_FALSE when the attribute was taken, E_FAIL for an unknown
    // name or keyword. The root refuses every name.
    virtual HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading);
};
