// "Update IPv6" on real sockets, inside a network namespace of the test's own
// (tools/ipv6_namespace.sh with tests/net/hosts6 and standins6.list): the
// query over IPv6 and its page rule, the one request with both addresses,
// and LASTIP6. Natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "net/report.h"
#include "net/tls.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/standin_record.h"
#include "sync/sync.h"

namespace {

std::wstring Joined(const std::vector<std::wstring>& reports) {
    std::wstring all;
    for (const std::wstring& r : reports) all += L"[" + r + L"]";
    return all;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class IPv6Exchange : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TlsStartup(); }
    void SetUp() override {
        ASSERT_NE(std::getenv("VELLOQ_STANDIN_DIR"), nullptr) << "run through tools/with_standins.sh";
        ClearWorkerReports();
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.AUTH, L"ZGVtbzpzZWNyZXQ=");  // demo:secret
        std::wcscpy(SettingsRecord.LASTIP, L"NULL");
        std::wcscpy(SettingsRecord.DomainCheckIP, L"127.0.0.2");
        std::wcscpy(SettingsRecord.DomainCheckIP6, L"checkip6.velloq.test");
        std::wcscpy(SettingsRecord.DomainDynDNS, L"127.0.0.3");
        SettingsRecord.HostList = {L"a.example"};
        SettingsRecord.UseIPv6Flag = true;
        for (const wchar_t* name : {L"LASTIP", L"LASTIP6"}) RegRemoveString(RegistryKeyPath, name);
    }
};

}  // namespace

// The reports of one check: the IPv4 field, a refused connection's notice,
// the IPv6 field, the end.
TEST_F(IPv6Exchange, CheckOverIPv6TakesTheAAAAHostsGlobalAddressOnly) {
    const std::wstring v4 = L"[address 192.0.2.7]", refused = L"[failure 515]", none = L"[address6 CHECK ERROR]";
    struct Row { const wchar_t* host; std::wstring reports; const wchar_t* found; } rows[] = {
        {L"checkip6.velloq.test", v4 + L"[address6 2001:db8::7]", L"2001:db8::7"},
        {L"pieces6.velloq.test", v4 + L"[address6 2001:db8::8]", L"2001:db8::8"},
        {L"localhost6.velloq.test", v4 + L"[address6 2001:db8::9]", L"2001:db8::9"},  // [::1]
        // Its A address answers too, with another global address: never asked.
        {L"dual.velloq.test", v4 + L"[address6 2001:db8::14:1]", L"2001:db8::14:1"},
        {L"mapped6.velloq.test", v4 + none, L""},
        {L"linklocal6.velloq.test", v4 + none, L""},
        {L"a4only.velloq.test", v4 + refused + none, L""},
        {L"silent6.velloq.test", v4 + refused + none, L""},
        {L"nowhere.velloq.test", v4 + refused + none, L""},
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.DomainCheckIP6, r.host);
        CheckIpWorker(nullptr);
        EXPECT_EQ(Joined(WorkerReports()), r.reports + L"[check-IP end]") << Narrow(r.host);
        EXPECT_EQ(std::wstring(CurrentIP6), r.found) << Narrow(r.host);
        EXPECT_TRUE(ResponseBuffer.empty());
    }
    std::vector<StandinRequest> seen = StandinRequests("2001_db8__10-80");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().bytes, "GET /index.php HTTP/1.0\r\nHost: checkip6.velloq.test\r\n\r\n");
    EXPECT_TRUE(StandinRequests("127.0.0.31-80").empty()) << "the IPv6 query went to an A address";
}

// Check then update, as one attempt goes: with the option on, one request
// carries both addresses and a recorded sync writes LASTIP6; off, the
// request and the store are those of old.
TEST_F(IPv6Exchange, OneRequestCarriesBothAddresses) {
    struct Row {
        const char* behaviour;
        bool on;
        const wchar_t* update;
        bool secure;
        const wchar_t* auth;
        std::string record, myip;
        const wchar_t* word;
        const wchar_t* last6;  // null: not written
    } rows[] = {
        {"on", true, L"127.0.0.3", false, nullptr, "127.0.0.3-80", "192.0.2.7,2001:db8::7", L"GOOD", L"2001:db8::7"},
        {"on, over TLS", true, L"update.velloq.test", true, nullptr, "127.0.0.3-443", "192.0.2.7,2001:db8::7",
         L"GOOD", L"2001:db8::7"},
        {"on, no change", true, L"127.0.0.13", false, nullptr, "127.0.0.13-80", "192.0.2.7,2001:db8::7", L"NO CHANGE",
         L"2001:db8::7"},
        {"on, refused account: nothing recorded", true, L"127.0.0.3", false, L"d3Jvbmc6cGFzcw==", "127.0.0.3-80",
         "192.0.2.7,2001:db8::7", L"AUTH ERROR", nullptr},
        {"off", false, L"127.0.0.3", false, nullptr, "127.0.0.3-80", "192.0.2.7", L"GOOD", nullptr},
    };
    for (const Row& r : rows) {
        SetUp();
        SettingsRecord.UseIPv6Flag = r.on;
        if (r.auth != nullptr) std::wcscpy(SettingsRecord.AUTH, r.auth);
        std::wcscpy(SettingsRecord.DomainDynDNS, r.update);
        SettingsRecord.UseSSLFlag = r.secure;
        CheckIpWorker(nullptr);
        std::size_t before = StandinRequests(r.record).size();
        UpdateWorker(nullptr);
        std::vector<StandinRequest> seen = StandinRequests(r.record);
        ASSERT_EQ(seen.size(), before + 1) << r.behaviour << ": one request";
        EXPECT_EQ(seen.back().bytes.substr(0, seen.back().bytes.find("&wildcard")),
                  "GET /nic/update?system=dyndns&hostname=a.example&myip=" + r.myip)
            << r.behaviour;
        std::vector<std::wstring> reports = WorkerReports();
        EXPECT_EQ(reports.back(), L"update end") << r.behaviour;
        EXPECT_EQ(reports[reports.size() - 2], std::wstring(L"status ") + r.word) << r.behaviour;
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP6"), r.last6 ? r.last6 : L"") << r.behaviour;
        EXPECT_EQ(std::count(reports.begin(), reports.end(), L"address6 2001:db8::7"), r.on ? 1 : 0)
            << r.behaviour << ": the IPv6 query runs only with the option on";
    }
}
