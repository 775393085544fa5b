// Winsock start-up, resolution and connect with a time-out, written once
// over the socket compatibility header.
#include "net/transport.h"

#include "util/text.h"
#include "util/window_link.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <csignal>
#include <cstring>

const wchar_t UNRESOLVED_ADDRESS[] = L"256.256.256.256";

volatile bool WinsockStarted = false;
volatile SOCKET ActiveSocket = INVALID_SOCKET;
int SocketFamily = AF_INET;
int SocketType = SOCK_STREAM;
int SocketProtocol = 0;

void UseTcpOverIPv4() {
    SocketFamily = AF_INET;
    SocketType = SOCK_STREAM;
    SocketProtocol = 0;
}

void ReleaseActiveSocket() {
    if (WinsockStarted) {
        shutdown(ActiveSocket, SD_BOTH);
        closesocket(ActiveSocket);
    }
    ActiveSocket = INVALID_SOCKET;
}

int StartWinsock() {
    if (WinsockStarted) return 0;
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(0x0202, &data) != 0) return -1;
    if (data.wVersion != 0x0202) {
        WSACleanup();
        return -1;
    }
#else
    // Winsock reports a write to a closed connection as an error; make
    // POSIX do the same instead of ending the process with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    WinsockStarted = true;
    return 0;
}

void StopWinsock() {
#ifdef _WIN32
    WSACleanup();
#endif
    WinsockStarted = false;
}

std::uint32_t ParseIPv4(const wchar_t* text) {
    char narrow[256];
    WideToAnsi(narrow, text, sizeof narrow);
    return inet_addr(narrow);
}

TimeoutParts SplitTimeout(int milliseconds) {
    return TimeoutParts{milliseconds / 1000, (milliseconds % 1000) * 1000L};
}

SOCKET ConnectTcp(WindowHandle window, const wchar_t* address, unsigned short port, int timeoutMs) {
    if (StartWinsock() == -1) return INVALID_SOCKET;

    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = static_cast<decltype(target.sin_family)>(SocketFamily);
    target.sin_port = htons(port);
    // INADDR_NONE is used as 255.255.255.255, where no TCP connect succeeds.
    target.sin_addr.s_addr = ParseIPv4(address);

    SOCKET s = socket(SocketFamily, SocketType, SocketProtocol);
    if (s == INVALID_SOCKET) {
        if (window != nullptr) SendWindowMessage(window, WM_NET_NOTICE, 0, NOTICE_SOCKET_FAILED);
        return INVALID_SOCKET;
    }

#ifdef _WIN32
    DWORD ms = static_cast<DWORD>(timeoutMs);
    int bufferSize = 1024;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bufferSize), sizeof bufferSize);
#else
    // POSIX takes the time-outs as a time structure.
    TimeoutParts parts = SplitTimeout(timeoutMs);
    timeval tv{parts.seconds, parts.microseconds};
    int bufferSize = 1024;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, &bufferSize, sizeof bufferSize);
#endif

    if (ConnectWithTimeout(s, reinterpret_cast<const sockaddr*>(&target), sizeof target, timeoutMs) == -1) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

int ConnectWithTimeout(SOCKET s, const sockaddr* address, int length, int timeoutMs) {
    unsigned long mode = 1;
    ioctlsocket(s, FIONBIO, &mode);

    int r = connect(s, address, static_cast<socklen_compat>(length));
    bool connected = (r == 0);
    if (r == SOCKET_ERROR && LastSocketError() == SOCKET_WOULD_BLOCK) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        TimeoutParts parts = SplitTimeout(timeoutMs);
        timeval tv{parts.seconds, parts.microseconds};
        r = select(static_cast<int>(s) + 1, nullptr, &writable, nullptr, &tv);
        if (r > 0) {
            // A failed connect is also reported writable on some platforms:
            // only an established connection counts.
            int pending = 0;
            socklen_compat size = sizeof pending;
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &size);
            connected = (pending == 0);
        }
    }

    mode = 0;
    ioctlsocket(s, FIONBIO, &mode);
    return connected ? 0 : -1;
}

void CloseConnection(SOCKET s) {
    if (!WinsockStarted) return;
    shutdown(s, SD_BOTH);
    closesocket(s);
}
