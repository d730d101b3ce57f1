#include "app/dialogs/AdPopups.h"

void ReportAdInfo(const wchar_t*)
{
    // Usage reports come with the statistics; until then nothing is sent.
}

void RemindSetHomePage()
{
    // The start-page reminder comes with the pop-ups; until then it never shows.
}
