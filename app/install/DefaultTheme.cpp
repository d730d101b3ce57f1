#include "app/install/DefaultTheme.h"

void RestoreDefaultTheme()
{
    // Theme application comes with package installation; until then the link does nothing.
}
