// Winsock start-up, resolution and connect with a time-out, written once
// over the socket compatibility header.
#include "net/transport.h"

#include <cstring>
#include <cwctype>

#include "net/report.h"
#include "util/clock.h"
#include "util/text.h"

const wchar_t UNRESOLVED_ADDRESS[] = L"256.256.256.256";

std::atomic<bool> WinsockStarted{false};
std::atomic<SOCKET> ActiveSocket{INVALID_SOCKET};
int SocketFamily = AF_INET;
int SocketType = SOCK_STREAM;
int SocketProtocol = 0;

namespace {
// One worker at a time, so one exchange's deadline.
std::uint64_t ExchangeDeadline = 0;
}  // namespace

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
    if (!PlatformSocketStartup()) return -1;
    WinsockStarted = true;
    return 0;
}

void StopWinsock() {
    PlatformSocketCleanup();
    WinsockStarted = false;
}

bool IsHostName(const wchar_t* host) {
    for (; *host != L'\0'; ++host)
        if (*host != L'.' && !std::iswdigit(static_cast<std::wint_t>(*host))) return true;
    return false;
}

bool IsDottedQuad(const std::string& text) {
    std::size_t start = 0;
    for (int n = 0; n < 4; ++n) {
        std::size_t end = n < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos) return false;
        std::string number = text.substr(start, end - start);
        if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string::npos ||
            (number.size() > 1 && number[0] == '0') || std::stoi(number) > 255)
            return false;
        start = end + 1;
    }
    return true;
}

std::uint32_t ParseIPv4(const wchar_t* text) {
    char narrow[256];
    WideToAnsi(narrow, text, sizeof narrow);
    return IsDottedQuad(narrow) ? inet_addr(narrow) : INADDR_NONE;
}

std::wstring ServerNameOf(const wchar_t* host) {
    std::wstring name(host);
    if (!name.empty() && name.back() == L'.') name.pop_back();
    return name;
}

TimeoutParts SplitTimeout(int milliseconds) {
    return TimeoutParts{milliseconds / 1000, (milliseconds % 1000) * 1000L};
}

// No socket at all is reported (net/report.h); a refused connection is the
// caller's to report, as only it knows what was being reached.
SOCKET ConnectTcp(const wchar_t* address, unsigned short port, int timeoutMs) {
    if (StartWinsock() == -1) return INVALID_SOCKET;
    ExchangeDeadline = SteadyMilliseconds() + EXCHANGE_DEADLINE_MS;

    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = static_cast<decltype(target.sin_family)>(SocketFamily);
    target.sin_port = htons(port);
    // INADDR_NONE is used as 255.255.255.255, where no TCP connect succeeds.
    target.sin_addr.s_addr = ParseIPv4(address);

    SOCKET s = socket(SocketFamily, SocketType, SocketProtocol);
    if (s == INVALID_SOCKET) {
        ReportConnectionFailure(NOTICE_SOCKET_FAILED);
        return INVALID_SOCKET;
    }
    SetSocketTimeouts(s, timeoutMs, timeoutMs);
    int sendBuffer = 1024;
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);

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

int ExchangeTimeLeftMs() {
    std::uint64_t now = SteadyMilliseconds();
    return now >= ExchangeDeadline ? 0 : static_cast<int>(ExchangeDeadline - now);
}

bool ArmReceive(SOCKET s) {
    int left = ExchangeTimeLeftMs();
    if (left == 0) return false;
    SetSocketTimeouts(s, left < CONNECT_TIMEOUT_MS ? left : CONNECT_TIMEOUT_MS, CONNECT_TIMEOUT_MS);
    return true;
}

bool AppendBounded(std::string& reply, const char* bytes, std::size_t count) {
    std::size_t room = RESPONSE_LIMIT - reply.size();
    reply.append(bytes, count < room ? count : room);
    return reply.size() < RESPONSE_LIMIT;
}

bool SendAll(SOCKET s, const std::string& bytes) {
    std::size_t done = 0;
    for (;;) {
        int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (n == SOCKET_ERROR || n < 1) return false;
        done += static_cast<std::size_t>(n);
        if (done >= bytes.size()) return true;
        if (!ArmReceive(s)) return false;  // the deadline holds for sending too
    }
}

void ReceiveAll(SOCKET s, std::string& reply) {
    char unit[1024];
    while (ArmReceive(s)) {
        int n = recv(s, unit, sizeof unit, 0);
        if (n == SOCKET_ERROR || n < 1) return;
        if (!AppendBounded(reply, unit, static_cast<std::size_t>(n))) return;
    }
}
