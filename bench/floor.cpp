// The floor of a grab: exactly the work a grab must do and nothing else.
// A user-interface thread owns a status text and a progress bar and runs a
// normal message loop; a worker opens an internet session, reads the watch
// page whole, as Clipwell does, then asks for the video and reads it in
// chunks of 1024 bytes, filled as Clipwell fills them (it asks WinINet how
// much has arrived and reads that much, until the chunk is full or the body
// ends), and, for each chunk, sends the same status text and progress
// position to those controls synchronously and writes the chunk.
//   floor PAGE_ADDRESS REQUEST_PATH OUTPUT_FILE [--hidden]
// (the video site's host is reached through the proxy setting). Prints
// "floor_seconds=<t>" (from the opening of the session to the last write)
// or "floor_hidden_seconds=<t>".
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include "seconds.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Job {
    std::string page;
    std::string path;
    std::string output;
    HWND status;
    HWND progress;
    HWND window;
    double seconds = -1;
};

// Fills chunk up to size bytes as Clipwell does; returns how many came,
// 0 at the end of the body or on an error.
DWORD ReadChunk(HINTERNET request, char* chunk, DWORD size)
{
    DWORD got = 0;
    while (got < size) {
        DWORD available = 0;
        DWORD read = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0)
            break;
        if (!InternetReadFile(request, chunk + got, available < size - got ? available : size - got, &read) || read == 0)
            break;
        got += read;
    }
    return got;
}

// Reads the page at address whole, fresh and past the internet cache as
// Clipwell reads its pages.
void ReadPage(HINTERNET session, const std::string& address)
{
    HINTERNET page = InternetOpenUrlA(session, address.c_str(), nullptr, 0,
                                      INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_NO_CACHE_WRITE |
                                          INTERNET_FLAG_RELOAD,
                                      1);
    char buffer[4096];
    DWORD read = 0;
    while (page != nullptr && InternetReadFile(page, buffer, sizeof buffer, &read) && read > 0) {
    }
    InternetCloseHandle(page);
}

DWORD WINAPI Transfer(void* argument)
{
    Job& job = *static_cast<Job*>(argument);
    const double start = Seconds();
    HINTERNET session = InternetOpenA("floor", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ReadPage(session, job.page);
    HINTERNET connection = InternetConnectA(session, "video.example.com", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    // Past the internet cache, as Clipwell opens its video requests.
    HINTERNET request = HttpOpenRequestA(connection, "GET", job.path.c_str(), "HTTP/1.0", nullptr, nullptr,
                                         INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                             INTERNET_FLAG_RELOAD,
                                         1);
    HttpAddRequestHeadersA(request, "Accept : video/flv\r\n", static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    HANDLE file = CreateFileA(job.output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        char length[32] = "";
        DWORD size = sizeof length;
        HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr);
        SendMessageA(job.progress, PBM_SETRANGE32, 0, std::atol(length));
        char chunk[1024];
        char text[64];
        long long total = 0;
        DWORD read = 0;
        while ((read = ReadChunk(request, chunk, sizeof chunk)) > 0) {
            total += read;
            std::snprintf(text, sizeof text, "%lld / %s B", total, length);
            SetWindowTextA(job.status, text);
            SendMessageA(job.progress, PBM_SETPOS, static_cast<WPARAM>(total), 0);
            DWORD written = 0;
            WriteFile(file, chunk, read, &written, nullptr);
        }
        job.seconds = Seconds() - start;
    }
    CloseHandle(file);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    PostMessageA(job.window, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: floor PAGE_ADDRESS REQUEST_PATH OUTPUT_FILE [--hidden]\n");
        return 2;
    }
    const bool hidden = argc > 4 && std::string(argv[4]) == "--hidden";
    InitCommonControls();
    const DWORD visible = hidden ? 0 : WS_VISIBLE;
    HWND window = CreateWindowA("STATIC", "floor", WS_OVERLAPPEDWINDOW | visible, 100, 100, 440, 170, nullptr,
                                nullptr, nullptr, nullptr);
    Job job;
    job.page = argv[1];
    job.path = argv[2];
    job.output = argv[3];
    job.window = window;
    job.status = CreateWindowA("STATIC", "", WS_CHILD | visible | SS_CENTER, 100, 60, 230, 14, window, nullptr,
                               nullptr, nullptr);
    job.progress = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | visible | WS_BORDER | PBS_SMOOTH, 40, 85, 357, 18,
                                 window, nullptr, nullptr, nullptr);
    HANDLE worker = CreateThread(nullptr, 0, Transfer, &job, 0, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_CLOSE && message.hwnd == window)
            break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    WaitForSingleObject(worker, INFINITE);
    std::printf("%s=%.4f\n", hidden ? "floor_hidden_seconds" : "floor_seconds", job.seconds);
    return job.seconds < 0 ? 1 : 0;
}
