#include "app/catalog/DeleteTask.h"

BOOL DeleteTask(int, int, int)
{
    // Deleting comes with the catalogue's download handlers; until then nothing is asked or removed.
    return FALSE;
}
