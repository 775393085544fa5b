// Winsock start-up, host resolution and TCP connect with a time-out.
#pragma once

#include <cstdint>

#include "net/socket_compat.h"
#include "util/window_link.h"

const int CONNECT_TIMEOUT_MS = 3000;
const int HOST_TEXT_CAPACITY = 68;
extern const wchar_t UNRESOLVED_ADDRESS[];  // "256.256.256.256"

extern volatile bool WinsockStarted;
extern volatile SOCKET ActiveSocket;

// Socket parameters read by ConnectTcp; each worker sets them before it
// connects.
extern int SocketFamily;
extern int SocketType;
extern int SocketProtocol;

// Sets the socket parameters for a plain TCP connection over IPv4.
void UseTcpOverIPv4();

// Shuts down and closes ActiveSocket unless Stop has stopped Winsock (and
// so closed it) already; leaves ActiveSocket empty.
void ReleaseActiveSocket();

int StartWinsock();
// Stops Winsock (Stop and exit) and clears WinsockStarted.
void StopWinsock();

// Rewrites the host text buffer (HOST_TEXT_CAPACITY characters) in place as
// the dotted text of the host's first IPv4 address. 0 or -1.
int ResolveHost(wchar_t* buffer);

// Network-order IPv4 address of dotted text, INADDR_NONE when it is none.
std::uint32_t ParseIPv4(const wchar_t* text);

SOCKET ConnectTcp(WindowHandle window, const wchar_t* address, unsigned short port, int timeoutMs);
int ConnectWithTimeout(SOCKET s, const sockaddr* address, int length, int timeoutMs);
void CloseConnection(SOCKET s);

// How a millisecond time-out is split for select: whole seconds and the
// remaining microseconds.
struct TimeoutParts {
    long seconds;
    long microseconds;
};
TimeoutParts SplitTimeout(int milliseconds);
