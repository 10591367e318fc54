#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The test side of the fixture server (tests/fixture/fixture_server.py),
// which runs around the test process and tells it its port in
// CLIPWELL_FIXTURE_PORT. Talks to it over plain sockets, so scripting the
// server never goes through the HTTP client under test.
class FixtureServer {
public:
    struct Route {
        int status = 200;
        std::string reason;  // of the status line; the server's own when empty
        std::vector<std::string> headers;  // "Name: value"
        bool contentLength = true;
        bool chunked = false;
        // Close (or reset) the connection after this many body bytes: the
        // i-th request takes the i-th value, later ones the last; -1 never.
        std::vector<long> closeAfter = {-1};
        std::vector<long> stallAfter = {-1};  // stop sending after this many body bytes (as closeAfter)
        double stallSeconds = 60;
        std::vector<long> resetAfter = {-1};
        std::string reply = "full";   // "none": close at once; "raw": the body alone; "endless": filler after it
        double headStallSeconds = 0;  // wait before replying at all
        bool ranges = false;          // honour Range and If-Range (by the ETag or Last-Modified header)
        bool ifRange = true;          // false: a 206 whatever If-Range names, as a careless cache sends
        int refuseRanges = 0;         // answer every Range with this status instead
        int reviseAfter = -1;         // from this request on (0-based), a changed video (see the server)
        unsigned short forward = 0;   // relay a real server's answers from this loopback port
        long pace = 0;                // send the body in pieces of this many bytes, 2 ms apart
        std::string tls = "site";     // the certificate of a tunnel's server (see the server)
        std::string proxyAuth;        // "user:password": 407 until a request brings it
    };

    // Connects to the server; unless told to keep them, it forgets earlier
    // routes and requests.
    explicit FixtureServer(bool forget = true);

    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(const std::string& path) const;

    // Serves body for path (path and query, as in "/watch?v=1").
    void Serve(const std::string& path, const std::string& body, const Route& route);
    void Serve(const std::string& path, const std::string& body) { Serve(path, body, Route()); }
    // Ends the stalls of path's replies now.
    void Resume(const std::string& path);

    // Every request received so far, raw: request line and headers.
    std::vector<std::string> Requests() const;
    // Those of them for path (path and query, with or without the host).
    std::vector<std::string> RequestsFor(const std::string& path) const;

private:
    std::string Control(const std::string& method, const std::string& target, const std::string& body) const;

    unsigned short m_port;
};

// A loopback port on which nothing listens.
unsigned short ClosedLoopbackPort();

// The header lines of a raw request, without the request line.
std::vector<std::string> HeaderLines(const std::string& request);

// The value of a raw request's header name; empty when it has none.
std::string HeaderValue(const std::string& request, const std::string& name);

// size bytes of a video that differ from those of another seed and that
// repeat only after many kilobytes, so that a lost or doubled chunk shows.
std::string VideoBytes(std::size_t size, char seed = 0);
