// Turning layout XML into items.
#pragma once

#include <memory>

#include "skin/SkWindow.h"

class CSkContainerWnd;

// A new item for an XML tag, or null for a tag no item class has ("tab",
// "br", "div", ...).
std::unique_ptr<CSkWindow> CreateSkinItem(const char* tag);

// Drops the panel's children (SKM_DESTROY to the panel), then makes one
// child for the element and each element after it, in document order:
// parent handle and host window from the panel, then loaded from its
// element. Elements of unknown tags are skipped with everything inside.
void CreateChildren(CSkContainerWnd* panel, const TiXmlElement* firstElement);
