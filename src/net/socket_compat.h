// The one place that hides the difference between Winsock and BSD sockets,
// so the transport code reads the same on both.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

typedef int socklen_compat;
inline int LastSocketError() { return WSAGetLastError(); }
const int SOCKET_WOULD_BLOCK = WSAEWOULDBLOCK;
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

typedef int SOCKET;
typedef socklen_t socklen_compat;
const SOCKET INVALID_SOCKET = -1;
const int SOCKET_ERROR = -1;
const int SD_BOTH = SHUT_RDWR;
inline int closesocket(SOCKET s) { return close(s); }
inline int ioctlsocket(SOCKET s, unsigned long cmd, unsigned long* arg) {
    int on = static_cast<int>(*arg);
    return ioctl(s, cmd, &on);
}
inline int LastSocketError() { return errno; }
// A non-blocking connect on POSIX reports EINPROGRESS where Winsock says
// WSAEWOULDBLOCK.
const int SOCKET_WOULD_BLOCK = EINPROGRESS;
#endif
