#include "app/dialogs/GBSetup.h"

int CGBSetup::DoModal()
{
    // The settings dialog comes with its own layout; until then nothing is shown.
    return 0;
}
