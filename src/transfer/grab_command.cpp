#include "transfer/grab_command.h"

#include "framework/thread.h"
#include "page/safe_file_name.h"
#include "page/watch_page.h"
#include "transfer/code_page.h"
#include "transfer/download_worker.h"
#include "transfer/video_site.h"
#include "transfer/web_access.h"
#include "ui/main_dialog.h"

namespace {

constexpr unsigned kOutputMode = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary | CFile::shareExclusive;

// Reads the page at address into a line list.
WatchPage FetchPage(CInternetSession& session, const std::string& address)
{
    const std::unique_ptr<CStdioFile> stream = session.OpenURL(address.c_str(), 1, INTERNET_FLAG_TRANSFER_ASCII);
    WatchPage page(SystemLeadBytes());
    std::string line;
    while (stream->ReadString(line))
        page.AddLine(line);
    return page;
}

// Sends the request, closing the just-created output file if that fails,
// so no handle is left open for a transfer that never starts.
void SendVideoRequest(CMainDlg& dialog)
{
    dialog.m_response->AddRequestHeaders(kVideoAcceptHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
    struct CloseOnFailure {
        CFile& file;
        bool sent = false;
        ~CloseOnFailure()
        {
            if (!sent)
                file.Abort();
        }
    } guard{dialog.m_outputFile};
    dialog.m_response->SendRequest();
    guard.sent = true;
}

}  // namespace

void RunGrabCommand(CMainDlg& dialog)
{
    const std::string address = dialog.m_urlEdit.GetWindowText();
    CInternetSession session(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG);
    const WatchPage page = FetchPage(session, address);
    const std::string query = page.FindVideoQuery();
    const std::string fileName = MakeSafeFileName(page.FindOutputFileName(), SystemLeadBytes());
    const std::string requestPath = WatchPage::MakeRequestPath(query);
    const std::unique_ptr<CHttpConnection> connection =
        session.GetHttpConnection(kVideoSiteHost, kVideoSitePort, nullptr, nullptr);

    StopWorker(dialog);

    dialog.m_response = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, requestPath.c_str(), nullptr, 1,
                                                nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT);
    CFileException error;
    if (!dialog.m_outputFile.Open(fileName.c_str(), kOutputMode, &error))
        throw error;
    SendVideoRequest(dialog);

    // Set before the worker exists, so that a stop request made at any time
    // from now on reaches it.
    dialog.m_transferActive = true;
    dialog.m_worker = AfxBeginThread(&DownloadWorker, &dialog);
    if (!dialog.m_worker) {
        dialog.m_transferActive = false;
        dialog.m_outputFile.Abort();
        return;
    }
    dialog.BeginTransferDisplay();
}
