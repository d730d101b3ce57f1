// The run step: single instance, skin library start, configuration, then
// the main window, modally.
#pragma once

#include <windows.h>

// The main window's modal result, or 0 when this process ends early.
int RunApplication();

// Lets drag-and-drop messages through the message filter of a raised
// process (from Windows Vista on; nothing before).
void AllowDropMessages();

// Brings up the skin library's tables: strings, default font, skins, styles.
void StartSkinLibrary();

// Shows the skinned error box for a failed configuration load; false when
// the load succeeded and start-up goes on.
bool ReportConfigurationError(int result);
