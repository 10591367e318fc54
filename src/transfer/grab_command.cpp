#include "transfer/grab_command.h"

#include "page/watch_page.h"
#include "page/code_page.h"
#include "transfer/download_worker.h"
#include "transfer/page_fetch.h"
#include "transfer/video_site.h"
#include "transfer/web/web_access.h"

#include <memory>

namespace {

constexpr unsigned kOutputMode = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary | CFile::shareExclusive;

}  // namespace

void RunGrabCommand(TransferWindow& window)
{
    if (window.m_fetchingPage)
        return;
    std::optional<FetchedPage> fetched = FetchPage(window.Address(), window);
    if (!fetched)
        return;
    WatchPage& page = fetched->page;
    const unsigned codePage = PageCodePage(fetched->contentType, page);
    page.UseLeadBytes(LeadBytesOf(codePage));
    const std::string requestPath = WatchPage::MakeRequestPath(page.FindVideoQuery());
    const std::wstring fileName = MakeOutputFileName(page.FindTitle(), codePage);
    std::shared_ptr<CHttpConnection> connection =
        fetched->session->GetHttpConnection(kVideoSiteHost, kVideoSitePort, nullptr, nullptr);

    StopWorker(window);

    auto transfer = std::make_shared<TransferState>();
    transfer->m_request = VideoRequest{std::move(connection), requestPath};
    transfer->m_response = transfer->m_request.Open();
    CFileException error;
    if (!transfer->m_outputFile.Open(fileName.c_str(), kOutputMode, &error))
        throw error;
    StartWorker(window, std::move(transfer));
}
