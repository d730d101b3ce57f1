// Error lines on the standard error stream, when there is one.
#pragma once

#include "base/RefString.h"

void PrintError(const CString& text);
