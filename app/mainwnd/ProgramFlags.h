// Program-wide flags, plain globals without a lock.
#pragma once

#include <windows.h>

// Set once the network wait found a connection.
extern BOOL g_bOnline;
// A news pop-up is open.
extern BOOL g_bNewsDlgOpen;
// An advertising pop-up is open.
extern BOOL g_bAdPopupOpen;
