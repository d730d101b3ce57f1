// Saves an item list again and again until it is killed, as the program
// saves its lists: each round loads the list named by RAVONYX_LIST_PATH,
// puts a new item before the first one (its id one above the first one's)
// and saves. After the first save it sets the event named by
// RAVONYX_LIST_SAVED. Exit code 3: the list could not be loaded or saved.
#include "app/common/XmlReader.h"

#include <windows.h>

#include "tests/support/KilledProbe.h"

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const CString path = ProbeSetting(L"RAVONYX_LIST_PATH");
    HANDLE saved = OpenEventW(EVENT_MODIFY_STATE, FALSE, ProbeSetting(L"RAVONYX_LIST_SAVED"));
    for (;;) {
        CXmlReader list(path);
        const TiXmlElement* first =
            list.CurrentElement() ? list.CurrentElement()->FirstChildElement() : nullptr;
        const char* id = first ? first->Attribute("id") : nullptr;
        if (!id)
            return 3;
        CString next;
        next.Format(L"%d", std::stoi(id) + 1);
        const XmlNodeRecord records[] = {
            {"nextnode", "item", CString()},
            {"attribute", "id", next},
            {"attribute", "name", L"条目 " + next},
            {"nextnode", "jsons", L"{\"id\":\"" + next + L"\",\"status\":1,\"progress\":\"0\"}"},
            {"subnode", "file", L"Ravonyx\\download\\" + next + L".zip"},
        };
        if (!list.AddNodes(records, 5, path))
            return 3;
        if (saved)
            SetEvent(saved);
    }
}
