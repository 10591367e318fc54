#include "framework/sockets.h"

#include <winsock2.h>

bool AfxSocketInit()
{
    static bool started = false;
    if (started)
        return true;
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return false;
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        WSACleanup();
        return false;
    }
    started = true;
    return true;
}
