// "Update IPv6" on real sockets, inside a network namespace of the test's own (tools/ipv6_namespace.sh with
// tests/net/hosts6 and standins6.list): the query over IPv6 and its page rule, and whole attempts: the one request
// with both addresses, LASTIP6, Check Last IP. Natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/cycle.h"
#include "net/report.h"
#include "net/tls.h"
#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/standin_record.h"
#include "sync/sync.h"

namespace {

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
        for (const wchar_t* name : {L"LASTIP", L"LASTIP6", L"TIMESTAMP"}) RegRemoveString(RegistryKeyPath, name);
    }
};

}  // namespace

// A check with the query over IPv6: what it finds and the notices it gives. Secure Check IP verifies it as the IPv4
// one: a refused server gets no byte (2001:db8::16 serves update.velloq.test's certificate).
TEST_F(IPv6Exchange, CheckOverIPv6TakesTheAAAAHostsGlobalAddressOnly) {
    const std::vector<std::wstring> refused = {L"failure 515"};
    struct Row { const wchar_t* host; std::vector<std::wstring> notices; const wchar_t* found; bool secure = false;
    } rows[] = {
        {L"checkip6.velloq.test", {}, L"2001:db8::7"}, {L"pieces6.velloq.test", {}, L"2001:db8::8"},
        {L"localhost6.velloq.test", {}, L"2001:db8::9"},  // [::1]
        // Its A address answers too, with another global address: never asked.
        {L"dual.velloq.test", {}, L"2001:db8::14:1"},
        {L"mapped6.velloq.test", {}, L""}, {L"linklocal6.velloq.test", {}, L""},
        {L"a4only.velloq.test", refused, L""}, {L"silent6.velloq.test", refused, L""},
        {L"nowhere.velloq.test", refused, L""},
        {L"update.velloq.test", {}, L"2001:db8::16:1", true}, {L"other6.velloq.test", {L"failure 516"}, L"", true},
    };
    std::size_t overTls = StandinRequests("2001_db8__16-443").size();
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.DomainCheckIP6, r.host);
        SettingsRecord.SecureCheckIPFlag = r.secure;
        SyncOutcome found = CheckIp(CheckIpJob(SettingsRecord));
        EXPECT_EQ(WorkerReports(), r.notices) << r.host;
        EXPECT_EQ(found.address, L"192.0.2.7") << r.host;
        EXPECT_TRUE(found.withIPv6) << r.host;
        EXPECT_EQ(found.address6, r.found) << r.host;
        EXPECT_EQ(found.status == Status::CertError, r.notices.size() == 1 && r.notices[0] == L"failure 516") << r.host;
    }
    EXPECT_EQ(StandinRequests("2001_db8__16-443").size(), overTls + 1) << "a request to the refused server";
    std::vector<StandinRequest> seen = StandinRequests("2001_db8__10-80");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().bytes, "GET /index.php HTTP/1.0\r\nHost: checkip6.velloq.test\r\n\r\n");
    EXPECT_TRUE(StandinRequests("127.0.0.31-80").empty()) << "the IPv6 query went to an A address";
}

namespace {

// One attempt as the program makes it: the check, the cycle's decision on what it found, the update that starts, and
// the record its end makes. The texts the Sync page is given, in order.
std::wstring Attempt() {
    static const wchar_t* const kFields[] = {L"date", L"ip", L"status", L"min", L"sec", L"ip6"};
    Cycle cycle;
    cycle.idle = false;
    cycle.workerOut = true;
    const Moment now{0, 0, L""};
    Steps steps = CheckIpEnded(cycle, CheckIp(CheckIpJob(SettingsRecord)), SettingsRecord, now);
    std::wstring shown;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step step = steps[i];
        if (step.act == Step::Text && step.value != static_cast<int>(Field::Minutes) &&
            step.value != static_cast<int>(Field::Seconds))
            shown += L"[" + std::wstring(kFields[step.value]) + L"=" + step.text + L"]";
        if (step.act == Step::SaveLastSync) SaveLastSync(step.text.c_str(), step.text6.c_str());
        if (step.act != Step::StartJob) continue;
        SyncOutcome sent = Update(UpdateJob(SettingsRecord, step.text, step.text6));
        Steps more = UpdateEnded(cycle, &sent, SettingsRecord, now);
        steps.insert(steps.end(), more.begin(), more.end());
    }
    return shown;
}

}  // namespace

// With the option on, one request carries both addresses (plain, over TLS to a
// name) and a recorded sync (GOOD, NO CHANGE) writes LASTIP6; an IPv6 failure
// sends nothing. Check Last IP and the option off: e2e_ipv6 and the cycle's rows.
TEST_F(IPv6Exchange, OneAttemptOneRequestWithBothAddresses) {
    const std::wstring both = L"[ip=192.0.2.7][ip6=2001:db8::7]";
    const std::string myip = "192.0.2.7,2001:db8::7", kUpdate = "GET /nic/update?system=dyndns&hostname=a.example&myip=";
    // myip empty: nothing sent; last6: LASTIP6 stored afterwards.
    struct Row { const char* behaviour; const wchar_t *host6, *update; bool secure; std::wstring shown;
                 std::string record, myip; const wchar_t* last6; } rows[] = {
        {"on", L"checkip6.velloq.test", L"127.0.0.3", false, both + L"[status=GOOD]", "127.0.0.3-80", myip,
         L"2001:db8::7"},
        {"on, over TLS to a name", L"checkip6.velloq.test", L"update.velloq.test", true, both + L"[status=GOOD]",
         "127.0.0.3-443", myip, L"2001:db8::7"},
        {"on, no change", L"checkip6.velloq.test", L"127.0.0.13", false, both + L"[status=NO CHANGE]",
         "127.0.0.13-80", myip, L"2001:db8::7"},
        {"on, IPv6 fails: nothing sent", L"a4only.velloq.test", L"127.0.0.3", false,
         L"[ip=192.0.2.7][ip6=CHECK ERROR]", "127.0.0.3-80", "", L""},
    };
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.DomainCheckIP6, r.host6);
        std::wcscpy(SettingsRecord.DomainDynDNS, r.update);
        SettingsRecord.UseSSLFlag = r.secure;
        std::size_t before = StandinRequests(r.record).size();
        EXPECT_EQ(Attempt(), r.shown) << r.behaviour;
        std::vector<StandinRequest> seen = StandinRequests(r.record);
        ASSERT_EQ(seen.size(), before + (r.myip.empty() ? 0 : 1)) << r.behaviour << ": requests";
        EXPECT_TRUE(r.myip.empty() || seen.back().bytes.rfind(kUpdate + r.myip + "&wildcard", 0) == 0)
            << r.behaviour << ": " << seen.back().bytes;
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP6"), r.last6) << r.behaviour;
    }
}
