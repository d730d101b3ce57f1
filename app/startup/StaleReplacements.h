// What rewrites of the program's own files left behind when a kill cut them
// short, cleared at start before anything writes those files again.
#pragma once

// The temporary files beside the item lists, the record of placed themes
// and the settings files (read-only ones, folders and files held open by
// others included, where they can go).
void ClearStaleReplacements();
