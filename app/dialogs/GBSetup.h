// The settings dialog.
#pragma once

class CGBSetup {
public:
    // Runs the dialog modally; its end code is not used.
    int DoModal();
};
