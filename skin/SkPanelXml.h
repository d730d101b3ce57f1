// Replacing the content of a panel of a view at run time.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

class CSkDialog;
class CSkWindow;

// Looks the id up in the given top panels in order (header, body, footer);
// when it names a "dlg", "tab" or "dlgfile" and the text parses, the panel
// gets the items of the text's first element and those following it in
// place of its children, is placed again, and shows the real windows of the
// new children unless it or an ancestor is hidden. Returns the panel, whose
// rectangle the view then repaints, or null with nothing changed.
CSkWindow* ReplacePanelChildren(std::initializer_list<CSkDialog*> topPanels, UINT id,
                                const std::string& utf8Xml);
