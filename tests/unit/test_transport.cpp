// The transport against loopback listeners: connect, refuse, time-out
// arithmetic, blocking mode, resolution that fails without any lookup on
// the network. Runs natively and under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "net/transport.h"

#ifndef _WIN32
#include "../support/recording_window.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A listening socket on 127.0.0.1 at a free port.
struct Listener {
    SOCKET s = INVALID_SOCKET;
    unsigned short port = 0;
    Listener() {
        StartWinsock();
        s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(0x7F000001);
        a.sin_port = 0;
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(s, 4);
        socklen_compat len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { closesocket(s); }
};

// A port on 127.0.0.1 where nothing listens.
unsigned short ClosedPort() {
    Listener l;
    return l.port;  // closed again when l goes
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SocketFamily = AF_INET;
        SocketType = SOCK_STREAM;
        SocketProtocol = 0;
        ASSERT_EQ(StartWinsock(), 0);
#ifndef _WIN32
        ResetRecordedMessages();
#endif
    }
};

}  // namespace

TEST(SplitTimeout, GivesSecondsAndMicroseconds) {
    struct Row {
        int ms;
        long seconds, microseconds;
    } rows[] = {{3000, 3, 0}, {1500, 1, 500000}, {999, 0, 999000}};
    for (const Row& r : rows) {
        TimeoutParts parts = SplitTimeout(r.ms);
        EXPECT_EQ(parts.seconds, r.seconds) << r.ms;
        EXPECT_EQ(parts.microseconds, r.microseconds) << r.ms;
    }
}

TEST_F(TransportTest, ConnectsToAListenerAndReturnsABlockingSocket) {
    Listener l;
    SOCKET s = ConnectTcp(nullptr, L"127.0.0.1", l.port, 300);
    ASSERT_NE(s, INVALID_SOCKET);

    // In blocking mode a recv with nothing to read waits for the receive
    // time-out; a socket left non-blocking would fail at once.
    char byte;
    auto start = Clock::now();
    int n = recv(s, &byte, 1, 0);
    long long waited = MillisecondsSince(start);
    EXPECT_LT(n, 1);
    EXPECT_GE(waited, 200) << "the socket was not back in blocking mode";
    EXPECT_LT(waited, 3000) << "the receive time-out was not set";
    CloseConnection(s);
}

TEST_F(TransportTest, RefusedConnectionFailsWithinTheTimeout) {
    unsigned short port = ClosedPort();
    auto start = Clock::now();
    SOCKET s = ConnectTcp(nullptr, L"127.0.0.1", port, 1500);
    long long took = MillisecondsSince(start);
    EXPECT_EQ(s, INVALID_SOCKET);
    // Winsock notices a refusal only when the time-out ends; platforms that
    // report it at once fail at once. Never later than the time-out.
    EXPECT_LT(took, 1500 + 1000);
}

TEST_F(TransportTest, ResolvesDottedTextAndLocalNames) {
    wchar_t buffer[HOST_TEXT_CAPACITY] = L"127.0.0.9";
    EXPECT_EQ(ResolveHost(buffer), 0);
    EXPECT_STREQ(buffer, L"127.0.0.9");
    wchar_t local[HOST_TEXT_CAPACITY] = L"localhost";
    EXPECT_EQ(ResolveHost(local), 0);
    EXPECT_EQ(std::wstring(local).rfind(L"127.", 0), 0u) << "localhost gave a non-loopback address";
}

TEST_F(TransportTest, UnresolvableNameLeavesTheMarkerAndConnectFailsQuietly) {
    // Names the resolver rejects without asking any name server.
    for (const wchar_t* name : {L"256.256.256.256", L"bad name"}) {
        wchar_t buffer[HOST_TEXT_CAPACITY];
        std::wcscpy(buffer, name);
        EXPECT_EQ(ResolveHost(buffer), -1);
        EXPECT_STREQ(buffer, UNRESOLVED_ADDRESS);
    }
    WindowHandle window = reinterpret_cast<WindowHandle>(static_cast<std::uintptr_t>(0x1234));
    auto start = Clock::now();
    EXPECT_EQ(ConnectTcp(window, UNRESOLVED_ADDRESS, 80, 1000), INVALID_SOCKET);
    EXPECT_LT(MillisecondsSince(start), 2000);
#ifndef _WIN32
    EXPECT_TRUE(RecordedMessages().empty()) << "a failed connect sends no notice of its own";
#endif
}

TEST(ParseIPv4, AcceptsDottedTextOnly) {
    EXPECT_EQ(ParseIPv4(L"127.0.0.1"), htonl(0x7F000001));
    EXPECT_EQ(ParseIPv4(L"192.168.1.10"), htonl(0xC0A8010A));
    EXPECT_EQ(ParseIPv4(L"255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIPv4(L"256.256.256.256"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIPv4(L"members.example"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIPv4(L""), 0xFFFFFFFFu);
}

#ifndef _WIN32
TEST_F(TransportTest, SocketFailureNotifiesTheWindow) {
    SocketFamily = -1;  // no such family: socket() fails
    WindowHandle window = FakeWindow(0x77);
    EXPECT_EQ(ConnectTcp(window, L"127.0.0.1", 80, 1000), INVALID_SOCKET);
    std::vector<RecordedMessage> got = RecordedMessages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].window, window);
    EXPECT_EQ(got[0].message, WM_NET_NOTICE);
    EXPECT_EQ(got[0].lParam, NOTICE_SOCKET_FAILED);
    // Without a window there is no one to tell.
    ResetRecordedMessages();
    EXPECT_EQ(ConnectTcp(nullptr, L"127.0.0.1", 80, 1000), INVALID_SOCKET);
    EXPECT_TRUE(RecordedMessages().empty());
}
#endif

#ifdef _WIN32
TEST(StartWinsock, SecondCallDoesNotStartAgain) {
    StopWinsock();
    ASSERT_EQ(StartWinsock(), 0);
    ASSERT_EQ(StartWinsock(), 0);
    // Had the second call started Winsock again, one cleanup would leave it
    // running.
    WSACleanup();
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(s, INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    WinsockStarted = false;
    EXPECT_EQ(StartWinsock(), 0);
    EXPECT_TRUE(WinsockStarted);
}
#endif

TEST(CloseConnection, DoesNothingOnceWinsockIsStopped) {
    ASSERT_EQ(StartWinsock(), 0);
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(s, INVALID_SOCKET);
    WinsockStarted = false;
    CloseConnection(s);  // must not touch the socket
    WinsockStarted = true;
    EXPECT_EQ(closesocket(s), 0) << "CloseConnection closed the socket although Winsock was stopped";
}
