// The two workers on real sockets against our stand-in servers
// (tests/net/standins.list): what goes on the wire, what the window is told,
// what is recorded, and how hostile servers end. Natively and under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <thread>

#include "net/tls.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/standin_record.h"
#include "sync/sync.h"
#include "util/product.h"

namespace {

const wchar_t kGoodAuth[] = L"ZGVtbzpzZWNyZXQ=";  // demo:secret, the stand-ins' account

std::string ExpectedUpdate(const std::string& host) {
    std::wstring agent = std::wstring(ProductName) + L"/" + ProductVersion + L" " + ContactEmail;
    return "GET /nic/update?system=dyndns&hostname=a.example,b.example&myip=192.0.2.7"
           "&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\nHost: " + host +
           "\r\nAuthorization: Basic ZGVtbzpzZWNyZXQ=\r\nUser-Agent: " + std::string(agent.begin(), agent.end()) +
           "\r\n\r\n";
}

class Exchange : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TlsStartup(); }
    void SetUp() override {
        ASSERT_NE(std::getenv("VELLOQ_STANDIN_DIR"), nullptr) << "run through tools/with_standins.sh";
        ResetRecordedMessages();
        MainWindow = FakeWindow(0x100);
        for (int i = 0; i < 3; ++i) QueryEdits[i] = FakeWindow(0x200 + i);
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.AUTH, kGoodAuth);
        std::wcscpy(SettingsRecord.LASTIP, L"NULL");
        SettingsRecord.HostList = {L"a.example", L"b.example"};
        std::wcscpy(CurrentIP, L"192.0.2.7");
        RegRemoveString(RegistryKeyPath, L"LASTIP");
    }
    // The main window's reports (notice codes and end reports), in order.
    std::vector<std::intptr_t> Reports() {
        std::vector<std::intptr_t> out;
        for (const RecordedMessage& m : RecordedMessages()) {
            if (m.window != MainWindow) continue;
            if (m.message == WM_NET_NOTICE) out.push_back(m.lParam);
            if (m.message == WM_CHECKIP_DONE || m.message == WM_SYNC_DONE) out.push_back(m.message);
        }
        return out;
    }
    std::wstring LastText(WindowHandle control) {
        std::wstring text = L"<none>";
        for (const RecordedMessage& m : RecordedMessages())
            if (m.window == control && m.message == RECORDED_SETTEXT) text = m.text;
        return text;
    }
    std::wstring CheckIp(const wchar_t* host) {
        std::wcscpy(SettingsRecord.DomainCheckIP, host);
        CheckIpWorker(nullptr);
        EXPECT_TRUE(ResponseBuffer.empty());
        EXPECT_EQ(LastText(QueryEdits[1]), CurrentIP) << "the IP edit shows what was found";
        return CurrentIP;
    }
    std::wstring Update(const wchar_t* host, bool secure) {
        std::wcscpy(SettingsRecord.DomainDynDNS, host);
        SettingsRecord.UseSSLFlag = secure;
        UpdateWorker(nullptr);
        EXPECT_TRUE(ResponseBuffer.empty());
        EXPECT_EQ(ActiveSocket, INVALID_SOCKET);
        return LastText(QueryEdits[2]);
    }
};

const std::intptr_t CHECK_DONE = WM_CHECKIP_DONE, SYNC_DONE = WM_SYNC_DONE, CERT_REFUSED = NOTICE_CERT_REFUSED;

}  // namespace

TEST_F(Exchange, CheckIpOutcomes) {
    struct Row {
        const wchar_t* host;
        const wchar_t* ip;
        std::vector<std::intptr_t> reports;
    } rows[] = {
        {L"127.0.0.2", L"192.0.2.7", {CHECK_DONE}},
        {L"127.0.0.4", L"192.0.2.8", {CHECK_DONE}},                          // page in small pieces
        {L"127.0.0.16", L"CHECK ERROR", {CHECK_DONE}},                       // IPv6 text of 39 characters
        {L"127.0.0.17", L"CHECK ERROR", {CHECK_DONE}},                       // CR LF and a header line
        {L"127.0.0.18", L"CHECK ERROR", {CHECK_DONE}},                       // a second parameter
        {L"127.0.0.19", L"CHECK ERROR", {CHECK_DONE}},                       // empty address
        {L"127.0.0.5", L"CHECK ERROR", {CHECK_DONE}},                        // closed at once
        {L"127.0.0.6", L"CHECK ERROR", {CHECK_DONE}},                        // never answers
        {L"127.0.0.7", L"CHECK ERROR", {CHECK_DONE}},                        // megabytes without markers
        {L"127.0.0.15", L"CHECK ERROR", {NOTICE_CONNECT_FAILED, CHECK_DONE}},  // refused
    };
    for (const Row& r : rows) {
        ResetRecordedMessages();
        EXPECT_EQ(CheckIp(r.host), r.ip) << r.host;
        EXPECT_EQ(Reports(), r.reports) << r.host;
    }
    ASSERT_FALSE(StandinRequests("127.0.0.2-80").empty());
    EXPECT_EQ(StandinRequests("127.0.0.2-80").back().bytes, "GET /index.php HTTP/1.0\r\nHost: 127.0.0.2\r\n\r\n");
}

TEST_F(Exchange, UpdateSendsTheSameBytesPlainAndOverTlsWithTheNameOnlyForNames) {
    struct Row {
        const wchar_t* host;
        bool secure;
        std::string record, sni;
    } rows[] = {
        {L"127.0.0.3", false, "127.0.0.3-80", ""},
        {L"127.0.0.3", true, "127.0.0.3-443", "sni=-"},
        // install-deps.sh maps this name to 127.0.0.3 in /etc/hosts.
        {L"update.velloq.test", true, "127.0.0.3-443", "sni=update.velloq.test"},
    };
    for (const Row& r : rows) {
        SetUp();
        EXPECT_EQ(Update(r.host, r.secure), L"GOOD") << r.record;
        std::vector<StandinRequest> seen = StandinRequests(r.record);
        ASSERT_FALSE(seen.empty()) << r.record;
        std::wstring host(r.host);
        EXPECT_EQ(seen.back().bytes, ExpectedUpdate(std::string(host.begin(), host.end()))) << r.record;
        if (r.secure) {
            EXPECT_NE(seen.back().head.find(" TLSv1.3 " + r.sni), std::string::npos) << seen.back().head;
        }
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), L"192.0.2.7");
    }
}

TEST_F(Exchange, UpdateOutcomes) {
    struct Row {
        const wchar_t* host;
        bool secure;
        const wchar_t* auth;
        const wchar_t* word;
        std::vector<std::intptr_t> reports;
    } rows[] = {
        {L"127.0.0.3", false, L"d3Jvbmc6cGFzcw==", L"AUTH ERROR", {SYNC_DONE}},
        {L"127.0.0.13", false, kGoodAuth, L"NO CHANGE", {SYNC_DONE}},
        {L"127.0.0.8", false, kGoodAuth, L"GOOD", {SYNC_DONE}},         // reply in pieces
        {L"127.0.0.8", true, kGoodAuth, L"GOOD", {SYNC_DONE}},          // TLS records in pieces
        {L"127.0.0.9", false, kGoodAuth, L"SYNC ERROR", {SYNC_DONE}},   // closed at once
        {L"127.0.0.9", true, kGoodAuth, L"SYNC ERROR", {SYNC_DONE}},    // closed after the handshake
        {L"127.0.0.10", false, kGoodAuth, L"SYNC ERROR", {SYNC_DONE}},  // never answers
        {L"127.0.0.11", true, kGoodAuth, L"SYNC ERROR", {SYNC_DONE}},   // plain HTTP on 443
        {L"127.0.0.12", false, kGoodAuth, L"UNKNOWN", {SYNC_DONE}},     // megabytes of filler
        {L"127.0.0.12", true, kGoodAuth, L"UNKNOWN", {SYNC_DONE}},
        {L"127.0.0.15", false, kGoodAuth, L"SYNC ERROR", {NOTICE_CONNECT_FAILED, SYNC_DONE}},
        {L"256.256.256.256", true, kGoodAuth, L"SYNC ERROR", {NOTICE_CONNECT_FAILED, SYNC_DONE}},
        {L"127.0.0.25", true, kGoodAuth, L"SYNC ERROR", {SYNC_DONE}},  // garbage instead of TLS
        // Certificates (tests/net/standins.list); a refused one ends the
        // handshake before the credential is written.
        {L"127.0.0.22", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},  // self-signed
        {L"127.0.0.20", true, kGoodAuth, L"GOOD", {SYNC_DONE}},                      // with its intermediate
        {L"127.0.0.21", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},  // intermediate missing
        {L"127.0.0.22", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},  // trust did not stick
        {L"127.0.0.23", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},  // expired
        {L"127.0.0.24", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},  // another address's
        {L"localhost", true, kGoodAuth, L"CERT ERROR", {CERT_REFUSED, SYNC_DONE}},   // not for this name
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.AUTH, r.auth);
        std::wstring word = Update(r.host, r.secure);
        EXPECT_EQ(word, r.word) << r.host << (r.secure ? " TLS" : " plain");
        EXPECT_EQ(Reports(), r.reports) << r.host;
        bool recorded = word == L"GOOD" || word == L"NO CHANGE";
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), recorded ? L"192.0.2.7" : L"") << r.host;
        std::wstring host = r.host == std::wstring(L"localhost") ? L"127.0.0.1" : r.host;
        if (word == L"CERT ERROR") {
            EXPECT_TRUE(StandinRequests(std::string(host.begin(), host.end()) + "-443").empty()) << r.host;
        }
    }
}

// A library that did not start our way is not started another way: TLS
// attempts end without a connection, plain ones go on.
TEST_F(Exchange, FailedTlsStartupEndsEveryTlsAttempt) {
    bool (*library)() = TlsLibraryStartup;
    TlsLibraryStartup = [] { return false; };
    EXPECT_FALSE(TlsStartup());
    std::size_t seen = StandinRequests("127.0.0.3-443").size();
    EXPECT_EQ(Update(L"127.0.0.3", true), L"SYNC ERROR");
    EXPECT_EQ(Reports(), std::vector<std::intptr_t>{SYNC_DONE});
    EXPECT_EQ(StandinRequests("127.0.0.3-443").size(), seen);
    SetUp();
    EXPECT_EQ(Update(L"127.0.0.3", false), L"GOOD");
    TlsLibraryStartup = library;
    EXPECT_TRUE(TlsStartup());
}

// A server that sends a byte every 2.5 s, each within the receive time-out,
// still ends the exchange at its deadline, with what arrived interpreted.
TEST_F(Exchange, TricklingServersEndAtTheDeadline) {
    using Clock = std::chrono::steady_clock;
    struct Row {
        bool update;
        const wchar_t* word;
    } rows[] = {{false, L"CHECK ERROR"}, {true, L"UNKNOWN"}};
    for (const Row& r : rows) {
        SetUp();
        Clock::time_point start = Clock::now();
        std::wstring word = r.update ? Update(L"127.0.0.14", true) : CheckIp(L"127.0.0.14");
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_EQ(word, r.word);
        EXPECT_LT(seconds, EXCHANGE_DEADLINE_MS / 1000.0 + 2) << (r.update ? "update" : "check-IP");
        std::printf("trickling %s ended after %.1f s\n", r.update ? "update over TLS" : "check-IP", seconds);
    }
}

// Closing does not wait for a worker: what it writes must outlive the
// program's own clean-up at exit. The process lingers after every exit
// handler has run, so a destroyed buffer would be written to meanwhile.
bool Lingering = false;
__attribute__((destructor)) void Linger() {
    if (Lingering) std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TEST(ExitWithWorkerOut, StateTheWorkerTouchesOutlivesExit) {
    EXPECT_EXIT(
        {
            std::thread([] {  // the one worker there may be
                for (;;) {
                    ResponseBuffer.append("reply bytes ");
                    if (ResponseBuffer.size() > 4096) ResponseBuffer.clear();
                    SettingsRecord.HostList.assign(3, L"a.example");
                }
            }).detach();
            std::thread([] {  // a clean-up that hangs fails too
                std::this_thread::sleep_for(std::chrono::seconds(10));
                std::_Exit(3);
            }).detach();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Lingering = true;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
