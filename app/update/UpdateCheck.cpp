#include "app/update/UpdateCheck.h"

unsigned CheckForUpdate(int)
{
    // The check against the version file arrives with the updater; until then it finds nothing.
    return 0;
}
