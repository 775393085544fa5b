// Winsock start-up, host resolution, TCP connect with a time-out and the
// bounded, deadline-limited receiving of a reply.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/socket_compat.h"
#include "util/limits.h"

const int CONNECT_TIMEOUT_MS = 3000;
// One exchange, from connect to close, never takes longer than this, however
// slowly a server trickles its reply.
const int EXCHANGE_DEADLINE_MS = 20000;
// A host text with its terminator; the installer checks host presets against it too.
const int HOST_TEXT_CAPACITY = HOST_FIELD_CAPACITY;
extern const wchar_t UNRESOLVED_ADDRESS[];  // "256.256.256.256"

// A reply never grows past this: a real reply is a few hundred bytes, and a
// misbehaving server must not make the program grow.
const std::size_t RESPONSE_LIMIT = 64 * 1024;

// Set by the worker, closed by Stop and exit on the main thread.
extern std::atomic<bool> WinsockStarted;
extern std::atomic<SOCKET> ActiveSocket;

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

// Whether a host text is a name to look up rather than an address: it holds
// something besides digits and dots. Digits and dots alone are an address,
// and only a strict dotted quad (IsDottedQuad) is one.
bool IsHostName(const wchar_t* host);

// Four decimal numbers 0-255 of one to three digits, no leading zero,
// between three dots: the one form of an IPv4 address taken anywhere, so
// that no reader takes 010 for octal or 0x0a for hex.
bool IsDottedQuad(const std::string& text);

// Network-order IPv4 address of a strict dotted quad, INADDR_NONE for any
// other text.
std::uint32_t ParseIPv4(const wchar_t* text);

// The host as a server and a hosts file know it: one trailing dot (the root
// of an absolute name) dropped, for the look-up, the certificate's name,
// the server name indication and the Host line.
std::wstring ServerNameOf(const wchar_t* host);

// Connects to address:port and starts the exchange's deadline.
SOCKET ConnectTcp(const wchar_t* address, unsigned short port, int timeoutMs);
int ConnectWithTimeout(SOCKET s, const sockaddr* address, int length, int timeoutMs);
void CloseConnection(SOCKET s);

// Before each receive of the exchange: sets the receive time-out of s to the
// connect time-out or the time left, whichever is shorter; false once the
// exchange's deadline has passed.
bool ArmReceive(SOCKET s);
// Milliseconds left of the exchange's deadline, 0 once it has passed.
int ExchangeTimeLeftMs();

// Sends all of bytes, what a partial send left over included, within the
// exchange's deadline. false when the connection or the deadline ends first.
bool SendAll(SOCKET s, const std::string& bytes);

// Appends what arrives on s to reply until the peer closes, an error, the
// receive time-out or the deadline, or until reply holds RESPONSE_LIMIT bytes.
void ReceiveAll(SOCKET s, std::string& reply);

// Appends bytes to reply without letting it grow past RESPONSE_LIMIT.
// false once the limit is reached.
bool AppendBounded(std::string& reply, const char* bytes, std::size_t count);

// How a millisecond time-out is split for select: whole seconds and the
// remaining microseconds.
struct TimeoutParts {
    long seconds;
    long microseconds;
};
TimeoutParts SplitTimeout(int milliseconds);

// The platform's part (socket_win.cpp, socket_posix.cpp).
bool PlatformSocketStartup();
void PlatformSocketCleanup();
void SetSocketTimeouts(SOCKET s, int receiveMs, int sendMs);
// Tells the user that the socket library could not be started.
void ReportSocketStartupFailure();
