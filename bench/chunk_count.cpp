// Counts the chunks in which Clipwell's read takes a video: the request
// made as the download worker makes it, read with the same call and chunk
// size. Every chunk costs the window two synchronous messages, so their
// number is the grab's cost.
#include "transfer/video_site.h"
#include "transfer/web/web_access.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: chunk_count REQUEST_PATH\n");
        return 2;
    }
    CInternetSession session;
    const auto connection = session.GetHttpConnection(kVideoSiteHost, kVideoSitePort);
    const auto response =
        connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, argv[1], nullptr, 1, nullptr, nullptr, kVideoRequestFlags);
    response->AddRequestHeaders(kVideoAcceptHeader);
    response->SendRequest();
    char chunk[1024];
    long long chunks = 0;
    long long shortChunks = 0;
    long long bytes = 0;
    for (unsigned n; (n = response->ReadChunk(chunk, sizeof chunk)) > 0; bytes += n) {
        ++chunks;
        shortChunks += n < sizeof chunk ? 1 : 0;
    }
    std::printf("clipwell_chunks=%lld\nclipwell_short_chunks=%lld\nclipwell_chunk_bytes=%lld\n", chunks, shortChunks,
                bytes);
    return 0;
}
