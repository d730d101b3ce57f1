#include "app/mainwnd/ProgramFlags.h"

BOOL g_bOnline = FALSE;
BOOL g_bNewsDlgOpen = FALSE;
BOOL g_bAdPopupOpen = FALSE;
