// The two workers against our stand-in servers (tests/sync/standins.list):
// what goes on the wire, what the window is told and in which order, what
// is recorded. Runs natively and under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/recording_window.h"
#include "app/ui_handles.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/exchange.h"
#include "sync/sync.h"

namespace {

// base64("demo:secret"), the stand-in account.
const wchar_t kGoodAuth[] = L"ZGVtbzpzZWNyZXQ=";

std::string StandinPath(const std::string& addr, int port) {
    const char* dir = std::getenv("VELLOQ_STANDIN_DIR");
    std::string path = std::string(dir ? dir : "") + "/" + addr + "-" + std::to_string(port) + ".log";
#ifdef _WIN32
    for (char& c : path)
        if (c == '/') c = '\\';
    path = "Z:" + path;
#endif
    return path;
}

// Every request a stand-in recorded, oldest first.
std::vector<std::string> RecordedRequests(const std::string& addr, int port) {
    std::ifstream in(StandinPath(addr, port), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string data = all.str();
    std::vector<std::string> requests;
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t eol = data.find('\n', at);
        if (eol == std::string::npos) break;
        std::istringstream head(data.substr(at, eol - at));
        std::string marker, word;
        std::size_t number = 0, length = 0;
        head >> marker >> word >> number >> length;
        requests.push_back(data.substr(eol + 1, length));
        at = eol + 1 + length;
    }
    return requests;
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("VELLOQ_STANDIN_DIR"), nullptr) << "run through tests/support/with_standins.sh";
        ResetRecordedMessages();
        MainWindow = MakeRecordingWindow();
        for (WindowHandle& edit : QueryEdits) edit = MakeRecordingWindow();
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.DomainCheckIP, L"127.0.0.2");
        std::wcscpy(SettingsRecord.DomainDynDNS, L"127.0.0.3");
        std::wcscpy(SettingsRecord.AUTH, kGoodAuth);
        std::wcscpy(SettingsRecord.LASTIP, L"NULL");
        std::wcscpy(SettingsRecord.TIMESTAMP, L"NULL");
        SettingsRecord.HostList = {L"a.example", L"b.example"};
        std::wcscpy(CurrentIP, L"192.0.2.7");
        ResponseBuffer.clear();
        RegRemoveString(RegistryKeyPath, L"LASTIP");
        RegRemoveString(RegistryKeyPath, L"TIMESTAMP");
    }

    // The main window's reports (not control texts), in order.
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
        std::vector<std::intptr_t> reports = Reports();
        EXPECT_FALSE(reports.empty());
        if (!reports.empty()) {
            EXPECT_EQ(reports.back(), static_cast<std::intptr_t>(WM_SYNC_DONE));
        }
        return LastText(QueryEdits[2]);
    }
    const std::vector<std::intptr_t> kCheckDone{WM_CHECKIP_DONE};
    const std::vector<std::intptr_t> kSyncDone{WM_SYNC_DONE};
};

}  // namespace

TEST_F(WorkerTest, CheckIpFindsTheAddressAndSendsExactlyTheRequest) {
    EXPECT_EQ(CheckIp(L"127.0.0.2"), L"192.0.2.7");
    EXPECT_EQ(Reports(), kCheckDone);
    std::vector<std::string> requests = RecordedRequests("127.0.0.2", 80);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), "GET /index.php HTTP/1.0\r\nHost: 127.0.0.2\r\n\r\n");
    EXPECT_EQ(ActiveSocket, INVALID_SOCKET);
}

TEST_F(WorkerTest, CheckIpOutcomes) {
    struct Row {
        const wchar_t* host;
        const wchar_t* ip;
        std::vector<std::intptr_t> reports;
    } rows[] = {
        {L"127.0.0.4", L"192.0.2.8", kCheckDone},                            // page in small pieces
        {L"127.0.0.16", L"123456789012345678901234567890", kCheckDone},      // 40 characters: first 30
        {L"127.0.0.5", L"CHECK ERROR", kCheckDone},                          // closed at once
        {L"127.0.0.7", L"CHECK ERROR", kCheckDone},                          // megabytes without markers
        {L"127.0.0.15", L"CHECK ERROR", {NOTICE_CONNECT_FAILED, WM_CHECKIP_DONE}},  // refused
        {L"bad name", L"CHECK ERROR", {NOTICE_CONNECT_FAILED, WM_CHECKIP_DONE}},    // does not resolve
    };
    for (const Row& r : rows) {
        ResetRecordedMessages();
        EXPECT_EQ(CheckIp(r.host), r.ip) << r.host;
        EXPECT_EQ(Reports(), r.reports) << r.host;
    }
}

TEST_F(WorkerTest, CheckIpServerThatNeverAnswersEndsOnTheReceiveTimeout) {
    EXPECT_EQ(CheckIp(L"127.0.0.6"), L"CHECK ERROR");
    EXPECT_EQ(Reports(), kCheckDone);
}

TEST_F(WorkerTest, ReplyOfManyMegabytesIsCutAtTheLimit) {
    StartWinsock();
    SOCKET s = ConnectTcp(nullptr, L"127.0.0.12", 80, CONNECT_TIMEOUT_MS);
    ASSERT_NE(s, INVALID_SOCKET);
    const char request[] = "GET /nic/update HTTP/1.0\r\n\r\n";
    send(s, request, sizeof request - 1, 0);
    std::string reply;
    ReceiveAll(s, reply);
    CloseConnection(s);
    EXPECT_EQ(reply.size(), RESPONSE_LIMIT);
}

TEST_F(WorkerTest, UpdateSendsTheSameBytesPlainAndOverTls) {
    EXPECT_EQ(Update(L"127.0.0.3", false), L"GOOD");
    ResetRecordedMessages();
    EXPECT_EQ(Update(L"127.0.0.3", true), L"GOOD");
    std::vector<std::string> plain = RecordedRequests("127.0.0.3", 80);
    std::vector<std::string> tls = RecordedRequests("127.0.0.3", 443);
    ASSERT_FALSE(plain.empty());
    ASSERT_FALSE(tls.empty());
    std::string expected =
        "GET /nic/update?system=dyndns&hostname=a.example,b.example&myip=192.0.2.7"
        "&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\n"
        "Host: 127.0.0.3\r\n"
        "Authorization: Basic ZGVtbzpzZWNyZXQ=\r\n"
        "User-Agent: DynDNS Velloq Client/2.0.0.2 velloq-client@example.org\r\n\r\n";
    EXPECT_EQ(plain.back(), expected);
    EXPECT_EQ(tls.back(), expected);
}

TEST_F(WorkerTest, GoodAndNoChangeAreRecordedInTheRegistry) {
    struct Row {
        const wchar_t* host;
        const wchar_t* word;
    } rows[] = {{L"127.0.0.3", L"GOOD"}, {L"127.0.0.13", L"NO CHANGE"}};
    for (const Row& r : rows) {
        SetUp();
        EXPECT_EQ(Update(r.host, false), r.word);
        EXPECT_STREQ(SettingsRecord.LASTIP, L"192.0.2.7");
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), L"192.0.2.7");
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"TIMESTAMP"), SettingsRecord.TIMESTAMP);
        EXPECT_EQ(std::wstring(SettingsRecord.TIMESTAMP).size(), 10u) << "a Unix time of this era";
    }
}

TEST_F(WorkerTest, FailuresEndInTheirWordAndRecordNothing) {
    struct Row {
        const wchar_t* host;
        bool secure;
        const wchar_t* auth;
        const wchar_t* word;
        std::vector<std::intptr_t> reports;
    } rows[] = {
        {L"127.0.0.3", false, L"d3Jvbmc6cGFzcw==", L"AUTH ERROR", {WM_SYNC_DONE}},
        {L"127.0.0.3", false, L"NULL", L"AUTH ERROR", {WM_SYNC_DONE}},
        {L"127.0.0.8", false, kGoodAuth, L"GOOD", {WM_SYNC_DONE}},   // reply in pieces
        {L"127.0.0.8", true, kGoodAuth, L"GOOD", {WM_SYNC_DONE}},    // TLS records in pieces
        {L"127.0.0.9", false, kGoodAuth, L"SYNC ERROR", {WM_SYNC_DONE}},   // closed at once
        {L"127.0.0.9", true, kGoodAuth, L"SYNC ERROR", {WM_SYNC_DONE}},    // closed after the handshake
        {L"127.0.0.11", true, kGoodAuth, L"SYNC ERROR", {WM_SYNC_DONE}},   // plain HTTP on 443
        {L"127.0.0.12", false, kGoodAuth, L"UNKNOWN", {WM_SYNC_DONE}},     // megabytes of filler
        {L"127.0.0.12", true, kGoodAuth, L"UNKNOWN", {WM_SYNC_DONE}},
        {L"127.0.0.15", false, kGoodAuth, L"SYNC ERROR", {NOTICE_CONNECT_FAILED, WM_SYNC_DONE}},
        {L"256.256.256.256", true, kGoodAuth, L"SYNC ERROR", {NOTICE_CONNECT_FAILED, WM_SYNC_DONE}},
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.AUTH, r.auth);
        std::wstring word = Update(r.host, r.secure);
        EXPECT_EQ(word, r.word) << r.host << (r.secure ? " TLS" : " plain");
        EXPECT_EQ(Reports(), r.reports) << r.host;
        bool recorded = std::wcscmp(r.word, L"GOOD") == 0;
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), recorded ? L"192.0.2.7" : L"") << r.host;
    }
}

TEST_F(WorkerTest, UpdateServerThatNeverAnswersIsASyncError) {
    EXPECT_EQ(Update(L"127.0.0.10", false), L"SYNC ERROR");
    EXPECT_EQ(Reports(), kSyncDone);
    EXPECT_STREQ(SettingsRecord.LASTIP, L"NULL");
}

TEST_F(WorkerTest, WorkerOnItsOwnThreadReportsOnceAndLast) {
    WorkerHandle worker = StartWorkerThread(CheckIpWorker);
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(WaitForMessage(WM_CHECKIP_DONE, 10000));
    CloseWorkerHandle(worker);
    EXPECT_STREQ(CurrentIP, L"192.0.2.7");
    EXPECT_EQ(Reports(), kCheckDone);
    std::vector<RecordedMessage> all = RecordedMessages();
    EXPECT_EQ(all.back().message, WM_CHECKIP_DONE) << "nothing may follow the end report";
}
