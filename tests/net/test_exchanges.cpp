// The two workers on real sockets against our stand-in servers (tests/net/standins.list): what goes on the wire, what
// the program is told, what is recorded, and how hostile servers end. Natively and under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <thread>

#include "net/report.h"
#include "net/tls.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/standin_record.h"
#include "sync/sync.h"
#include "util/product.h"
#include "util/worker.h"

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
        ClearWorkerReports();
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.AUTH, kGoodAuth);
        std::wcscpy(SettingsRecord.LASTIP, L"NULL");
        SettingsRecord.HostList = {L"a.example", L"b.example"};
        RegRemoveString(RegistryKeyPath, L"LASTIP");
    }
    // The worker's end report without its name: a refused connection must come first and the end report last.
    std::wstring Outcome(int notice, const std::wstring& end) {
        std::vector<std::wstring> reports = WorkerReports();
        std::size_t failures = notice != 0 ? 1 : 0;
        if (reports.size() != failures + 1 || reports.back().compare(0, end.size() + 1, end + L" ") != 0 ||
            (notice != 0 && reports[0] != L"failure " + std::to_wstring(notice))) {
            std::wstring all;
            for (const std::wstring& report : reports) all += L"[" + report + L"]";
            ADD_FAILURE() << "reports out of order: " << std::string(all.begin(), all.end());
            return L"";
        }
        return reports.back().substr(end.size() + 1);
    }
    // The address found, "-" for none.
    std::wstring CheckIp(const wchar_t* host, int notice = 0) {
        std::wcscpy(SettingsRecord.DomainCheckIP, host);
        CheckIpWorker(new SyncJob(CheckIpJob(SettingsRecord)));
        return Outcome(notice, L"check-IP end");
    }
    // The update's word; the address it was sent is reported back with it, and the worker records nothing itself.
    std::wstring Update(const wchar_t* host, bool secure, int notice = 0) {
        std::wcscpy(SettingsRecord.DomainDynDNS, host);
        SettingsRecord.UseSSLFlag = secure;
        UpdateWorker(new SyncJob(UpdateJob(SettingsRecord, L"192.0.2.7")));
        EXPECT_EQ(ActiveSocket.load(), INVALID_SOCKET);
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), L"");
        std::wstring outcome = Outcome(notice, L"update end");
        std::size_t blank = outcome.rfind(L' ');
        EXPECT_EQ(outcome.substr(blank + 1), L"192.0.2.7");
        return outcome.substr(0, blank);
    }
};

const int CONNECT = NOTICE_CONNECT_FAILED, CERT = NOTICE_CERT_REFUSED;

}  // namespace

TEST_F(Exchange, CheckIpOutcomes) {
    struct Row { const wchar_t* host; const wchar_t* ip; bool refused; } rows[] = {
        // In pieces; an IPv6 text of 39 characters; CR LF and a header line; a second parameter; an empty address.
        {L"127.0.0.2", L"192.0.2.7", false}, {L"127.0.0.4", L"192.0.2.8", false}, {L"127.0.0.16", L"-", false},
        {L"127.0.0.17", L"-", false}, {L"127.0.0.18", L"-", false}, {L"127.0.0.19", L"-", false},
        // Closed at once; never answers; megabytes without markers; refused.
        {L"127.0.0.5", L"-", false}, {L"127.0.0.6", L"-", false}, {L"127.0.0.7", L"-", false},
        {L"127.0.0.15", L"-", true},
    };
    for (const Row& r : rows) {
        ClearWorkerReports();
        EXPECT_EQ(CheckIp(r.host, r.refused ? CONNECT : 0), r.ip) << r.host;
    }
}

TEST_F(Exchange, UpdateSendsTheSameBytesPlainAndOverTlsWithTheNameOnlyForNames) {
    struct Row { const wchar_t* host; bool secure; std::string record, sni, hostLine; } rows[] = {
        {L"127.0.0.3", false, "127.0.0.3-80", "", "127.0.0.3"},
        {L"127.0.0.3", true, "127.0.0.3-443", "sni=-", "127.0.0.3"},
        // install-deps.sh maps this name to 127.0.0.3 in /etc/hosts.
        {L"update.velloq.test", true, "127.0.0.3-443", "sni=update.velloq.test", "update.velloq.test"},
        // An absolute name: the certificate is for the name without its root dot.
        {L"update.velloq.test.", true, "127.0.0.3-443", "sni=update.velloq.test", "update.velloq.test"},
    };
    for (const Row& r : rows) {
        SetUp();
        EXPECT_EQ(Update(r.host, r.secure), L"GOOD") << r.record;
        std::vector<StandinRequest> seen = StandinRequests(r.record);
        ASSERT_FALSE(seen.empty()) << r.record;
        EXPECT_EQ(seen.back().bytes, ExpectedUpdate(r.hostLine)) << r.record;
        if (r.secure) {
            EXPECT_NE(seen.back().head.find(" TLSv1.3 " + r.sni), std::string::npos) << seen.back().head;
        }
    }
}

TEST_F(Exchange, UpdateOutcomes) {
    struct Row { const wchar_t* host; bool secure; const wchar_t* auth; const wchar_t* word; int notice; } rows[] = {
        {L"127.0.0.3", false, L"d3Jvbmc6cGFzcw==", L"AUTH ERROR", 0}, {L"127.0.0.13", false, kGoodAuth, L"NO CHANGE", 0},
        {L"127.0.0.8", false, kGoodAuth, L"GOOD", 0},         // reply in pieces
        {L"127.0.0.8", true, kGoodAuth, L"GOOD", 0},          // TLS records in pieces
        {L"127.0.0.9", false, kGoodAuth, L"SYNC ERROR", 0},   // closed at once
        {L"127.0.0.9", true, kGoodAuth, L"SYNC ERROR", 0},    // closed after the handshake
        {L"127.0.0.10", false, kGoodAuth, L"SYNC ERROR", 0},  // never answers
        {L"127.0.0.11", true, kGoodAuth, L"SYNC ERROR", 0},   // plain HTTP on 443
        // Megabytes of filler, plain and over TLS.
        {L"127.0.0.12", false, kGoodAuth, L"UNKNOWN", 0}, {L"127.0.0.12", true, kGoodAuth, L"UNKNOWN", 0},
        {L"127.0.0.15", false, kGoodAuth, L"SYNC ERROR", CONNECT}, {L"256.256.256.256", true, kGoodAuth, L"SYNC ERROR", CONNECT},
        // 127.0.0.3 written loosely: neither is an address, nor a name that resolves.
        {L"127.000.000.003", false, kGoodAuth, L"SYNC ERROR", CONNECT}, {L"0x7f.3", false, kGoodAuth, L"SYNC ERROR", CONNECT},
        {L"127.0.0.25", true, kGoodAuth, L"SYNC ERROR", 0},  // garbage instead of TLS
        // Certificates (tests/net/standins.list); a refused one ends the handshake before the credential is written.
        {L"127.0.0.22", true, kGoodAuth, L"CERT ERROR", CERT},  // self-signed
        {L"127.0.0.20", true, kGoodAuth, L"GOOD", 0},           // with its intermediate
        {L"127.0.0.21", true, kGoodAuth, L"CERT ERROR", CERT},  // intermediate missing
        {L"127.0.0.22", true, kGoodAuth, L"CERT ERROR", CERT},  // trust did not stick
        {L"127.0.0.23", true, kGoodAuth, L"CERT ERROR", CERT},  // expired
        {L"127.0.0.24", true, kGoodAuth, L"CERT ERROR", CERT},  // another address's
        {L"localhost", true, kGoodAuth, L"CERT ERROR", CERT},   // not for this name
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.AUTH, r.auth);
        std::wstring word = Update(r.host, r.secure, r.notice);
        EXPECT_EQ(word, r.word) << r.host << (r.secure ? " TLS" : " plain");
        std::wstring host = r.host == std::wstring(L"localhost") ? L"127.0.0.1" : r.host;
        if (word == L"CERT ERROR") {
            EXPECT_TRUE(StandinRequests(std::string(host.begin(), host.end()) + "-443").empty()) << r.host;
        }
    }
}

// Secure Check IP: the query to port 443, the server verified as for the update, a refused one gets not a byte; a
// bare address is an answer only over TLS. A path after the host is the page asked for.
TEST_F(Exchange, CheckIpOverTlsAndWithAPath) {
    const std::string kPage = "GET /index.php HTTP/1.0\r\nHost: ";
    const std::vector<std::wstring> refused = {L"failure 516", L"check-IP end - CERT ERROR"};
    // request empty: none arrives
    struct Row { const wchar_t* field; bool secure; std::vector<std::wstring> reports; std::string record, request;
    } rows[] = {
        {L"127.0.0.2", false, {L"check-IP end 192.0.2.7"}, "127.0.0.2-80", kPage + "127.0.0.2\r\n\r\n"},
        {L"127.0.0.2/ip", false, {L"check-IP end -"}, "127.0.0.2-80",
         "GET /ip HTTP/1.0\r\nHost: 127.0.0.2\r\n\r\n"},  // the address alone, in the clear
        {L"127.0.0.28", true, {L"check-IP end 192.0.2.10"}, "127.0.0.28-443", kPage + "127.0.0.28\r\n\r\n"},
        {L"127.0.0.28/", true, {L"check-IP end 192.0.2.10"}, "127.0.0.28-443",
         "GET / HTTP/1.0\r\nHost: 127.0.0.28\r\n\r\n"},
        {L"127.0.0.28/v1/ip.txt", true, {L"check-IP end 192.0.2.10"}, "127.0.0.28-443",
         "GET /v1/ip.txt HTTP/1.0\r\nHost: 127.0.0.28\r\n\r\n"},
        {L"127.0.0.29/", true, refused, "127.0.0.29-443", ""},  // self-signed
        {L"127.0.0.30/", true, refused, "127.0.0.30-443", ""},  // expired
        {L"127.0.0.31/", true, refused, "127.0.0.31-443", ""},  // another address's
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.DomainCheckIP, r.field);
        SettingsRecord.SecureCheckIPFlag = r.secure;
        std::size_t before = StandinRequests(r.record).size();
        CheckIpWorker(new SyncJob(CheckIpJob(SettingsRecord)));
        EXPECT_EQ(WorkerReports(), r.reports) << r.record;
        std::vector<StandinRequest> seen = StandinRequests(r.record);
        ASSERT_EQ(seen.size(), before + (r.request.empty() ? 0 : 1)) << r.record;
        if (!r.request.empty()) {
            EXPECT_EQ(seen.back().bytes, r.request) << r.record;
            EXPECT_EQ(seen.back().head.find(" sni=-") != std::string::npos, r.secure) << seen.back().head;
        }
    }
}

// A trusted leaf whose CRL and OCSP servers take the fetch and never answer (127.0.0.26): the chain engine has a
// quarter of the exchange, so the reply is still read and its address reported for the record. A certificate for
// another name is refused before the engine fetches anything.
TEST_F(Exchange, SilentRevocationServersHoldNoAttempt) {
    using Clock = std::chrono::steady_clock;
    struct Row { const wchar_t* host; const wchar_t* word; int notice;
    } rows[] = {{L"localhost", L"CERT ERROR", CERT}, {L"127.0.0.27", L"GOOD", 0}};
    for (const Row& r : rows) {
        SetUp();
        std::size_t fetches = StandinRequests("127.0.0.26-80").size();
        Clock::time_point start = Clock::now();
        EXPECT_EQ(Update(r.host, true, r.notice), r.word) << r.host;
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_LT(seconds, EXCHANGE_DEADLINE_MS / 2000.0) << r.host;
        std::size_t fetched = StandinRequests("127.0.0.26-80").size() - fetches;
        if (r.notice != 0) {
            EXPECT_EQ(fetched, 0u) << r.host;
        }
        std::printf("silent revocation servers, %ls: %ls after %.1f s, %zu fetches\n", r.host, r.word, seconds, fetched);
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
    struct Row { bool update; const wchar_t* word; } rows[] = {{false, L"-"}, {true, L"UNKNOWN"}};
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

// The worker reads only its job, made on this thread: settings reloaded here over and over while an update is out (a
// Reload pressed meanwhile) change nothing it sends, and it records nothing itself. The ThreadSanitizer build sees
// any memory both threads touch.
TEST_F(Exchange, ReloadWhileAnUpdateIsOut) {
    std::wcscpy(SettingsRecord.DomainDynDNS, L"127.0.0.8");  // its reply comes in pieces
    // Addresses only: nothing is looked up.
    const wchar_t* stored[][2] = {{L"DomainCheckIP", L"127.0.0.2"}, {L"DomainDynDNS", L"127.0.0.3"},
                                  {L"DOMAIN", L"c.example"}, {L"AUTH", L"d3Jvbmc6cGFzcw=="}};
    for (const auto& value : stored) RegWriteString(RegistryKeyPath, value[0], value[1]);
    SyncJob* job = new SyncJob(UpdateJob(SettingsRecord, L"192.0.2.7"));
    WorkerHandle worker = StartWorkerThread(UpdateWorker, job);
    ASSERT_NE(worker, nullptr);
    int reloads = 0;
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (std::vector<std::wstring> r; (r = WorkerReports()).empty() || r.back().compare(0, 10, L"update end") != 0;) {
        ASSERT_LT(std::chrono::steady_clock::now(), give_up) << "no end report";
        LoadSettings(true);
        SettingsRecord.UseSSLFlag = !SettingsRecord.UseSSLFlag;  // Secure Connect toggled meanwhile
        EXPECT_STREQ(SettingsRecord.LASTIP, L"NULL");
        ++reloads;
    }
    CloseWorkerHandle(worker);
    EXPECT_GT(reloads, 1);
    EXPECT_EQ(Outcome(0, L"update end"), L"GOOD 192.0.2.7");
    ASSERT_FALSE(StandinRequests("127.0.0.8-80").empty());
    EXPECT_EQ(StandinRequests("127.0.0.8-80").back().bytes, ExpectedUpdate("127.0.0.8"));
    EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), L"NULL");
}

// Closing does not wait for a worker: what it touches must outlive the program's own clean-up at exit. The process
// lingers after every exit handler has run, so anything destroyed would be touched meanwhile.
bool Lingering = false;
__attribute__((destructor)) void Linger() {
    if (Lingering) std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TEST(ExitWithWorkerOut, WhatAWorkerTouchesOutlivesExit) {
    ASSERT_NE(std::getenv("VELLOQ_STANDIN_DIR"), nullptr) << "run through tools/with_standins.sh";
    EXPECT_EXIT(
        {
            std::thread([] {  // the one worker there may be, one attempt after another
                SyncJob job;
                job.server = L"127.0.0.4";  // its page comes in pieces
                for (;;) CheckIpWorker(new SyncJob(job));
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
