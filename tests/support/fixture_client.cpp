#include "fixture_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

std::string UrlEncode(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// "1,2,3"
std::string Listed(const std::vector<long>& values)
{
    std::string text;
    for (long value : values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

class Socket {
public:
    explicit Socket(unsigned short port)
    {
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_socket == INVALID_SOCKET || connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot reach the fixture server");
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { closesocket(m_socket); }

    void SendAll(const std::string& data)
    {
        for (std::size_t sent = 0; sent < data.size();) {
            const int n = send(m_socket, data.data() + sent, static_cast<int>(data.size() - sent), 0);
            if (n <= 0)
                throw std::runtime_error("fixture server send failed");
            sent += static_cast<std::size_t>(n);
        }
    }

    std::string ReceiveAll()
    {
        std::string data;
        char buffer[4096];
        for (int n; (n = recv(m_socket, buffer, sizeof buffer, 0)) > 0;)
            data.append(buffer, static_cast<std::size_t>(n));
        return data;
    }

private:
    SOCKET m_socket;
};

}  // namespace

FixtureServer::FixtureServer(bool forget)
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    const char* port = std::getenv("CLIPWELL_FIXTURE_PORT");
    if (!started || port == nullptr)
        throw std::runtime_error("run under tests/fixture/fixture_server.py");
    m_port = static_cast<unsigned short>(std::atoi(port));
    if (forget)
        Control("POST", "/__fixture/reset", "");
}

std::string FixtureServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void FixtureServer::Serve(const std::string& path, const std::string& body, const Route& route)
{
    std::string target = "/__fixture/route?path=" + UrlEncode(path) + "&status=" + std::to_string(route.status) +
                         "&length=" + (route.contentLength ? "1" : "0") + "&chunked=" + (route.chunked ? "1" : "0") +
                         "&close_after=" + Listed(route.closeAfter) +
                         (route.reason.empty() ? "" : "&reason=" + UrlEncode(route.reason)) +
                         "&stall_after=" + Listed(route.stallAfter) +
                         "&stall_seconds=" + std::to_string(route.stallSeconds) +
                         "&reset_after=" + Listed(route.resetAfter) + "&reply=" + route.reply +
                         "&head_stall_seconds=" + std::to_string(route.headStallSeconds) +
                         "&ranges=" + (route.ranges ? "1" : "0") + "&if_range=" + (route.ifRange ? "1" : "0") +
                         "&refuse_ranges=" + std::to_string(route.refuseRanges) + "&revise_after=" + std::to_string(route.reviseAfter) +
                         "&forward=" + std::to_string(route.forward) + "&pace=" + std::to_string(route.pace) + "&tls=" + route.tls +
                         "&proxy_auth=" + UrlEncode(route.proxyAuth);
    for (const std::string& header : route.headers)
        target += "&header=" + UrlEncode(header);
    Control("PUT", target, body);
}

void FixtureServer::Resume(const std::string& path)
{
    Control("POST", "/__fixture/resume?path=" + UrlEncode(path), "");
}

std::vector<std::string> FixtureServer::Requests() const
{
    const int count = std::atoi(Control("GET", "/__fixture/count", "").c_str());
    std::vector<std::string> requests;
    for (int i = 0; i < count; ++i)
        requests.push_back(Control("GET", "/__fixture/request?n=" + std::to_string(i), ""));
    return requests;
}

std::vector<std::string> FixtureServer::RequestsFor(const std::string& path) const
{
    std::vector<std::string> found;
    for (std::string& request : Requests()) {
        const std::string line = request.substr(0, request.find("\r\n"));
        if (line.find(path + " HTTP/") != std::string::npos)
            found.push_back(std::move(request));
    }
    return found;
}

std::string FixtureServer::Control(const std::string& method, const std::string& target,
                                   const std::string& body) const
{
    Socket socket(m_port);
    socket.SendAll(method + " " + target + " HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\n\r\n" + body);
    const std::string response = socket.ReceiveAll();
    const std::size_t end = response.find("\r\n\r\n");
    if (response.compare(0, 12, "HTTP/1.0 200") != 0 || end == std::string::npos)
        throw std::runtime_error("fixture server refused " + target);
    return response.substr(end + 4);
}

unsigned short ClosedLoopbackPort()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

std::vector<std::string> HeaderLines(const std::string& request)
{
    std::vector<std::string> lines;
    std::size_t start = request.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        const std::size_t end = request.find("\r\n", start);
        if (end == std::string::npos || end == start)
            break;
        lines.push_back(request.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string HeaderValue(const std::string& request, const std::string& name)
{
    for (const std::string& line : HeaderLines(request)) {
        if (line.rfind(name + ": ", 0) == 0)
            return line.substr(name.size() + 2);
    }
    return {};
}

std::string VideoBytes(std::size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 13 + (i >> 9));
    return bytes;
}
