#include "app/catalog/DownloadRelay.h"

LRESULT RelayDownloadProgress(HWND, std::vector<ActiveDownload>&, const DownloadProgressInfo&)
{
    // Progress reaches the pages once the browser host is there; until then it is not shown.
    return 1;
}

LRESULT RelayDownloadFinished(HWND, std::vector<ActiveDownload>&, const DownloadFinishedInfo&)
{
    // The local lists record finished items with the catalogue handlers; until then nothing changes.
    return 0;
}

LRESULT RelayDownloadStopped(HWND, std::vector<ActiveDownload>&, const DownloadStoppedInfo&)
{
    // A stopped download is recorded with the catalogue handlers; until then nothing changes.
    return 1;
}

LRESULT ShowFinishedPopup(HWND, int, int)
{
    // The download-finished pop-up comes with the pop-ups; until then none is shown.
    return 0;
}

void RecordStoppedDownloads(const std::vector<ActiveDownload>&)
{
    // The local lists come with the catalogue handlers; until then there is nothing to record.
}

void RunPageScriptRequest(std::unique_ptr<PageCallRequest>)
{
    // Page functions are called through the browser host; until it comes the block is only freed.
}
