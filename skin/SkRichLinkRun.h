// One link of a rich text item as the last layout placed it.
#pragma once

#include <windows.h>

#include "base/RefString.h"

struct SkRichLinkRun {
    CString text;
    int linkId = 0; // the "a" element's "id", 0 when it has none
    RECT rect = {}; // view client coordinates
};
