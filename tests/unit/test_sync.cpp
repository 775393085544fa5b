// One attempt's arithmetic, requests and parsing (the gate's use runs in the app tests).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "net/report.h"
#include "sync/protocol.h"
#include "util/product.h"

TEST(SyncClock, GateAndUnixSeconds) {
    const int last = 1700000000;
    struct GateRow { const char* behaviour; int now, cloop, last; bool allowed; } gates[] = {
        {"one minute short of the pause", last + 3540, 60, last, false}, {"just past it", last + 3541, 60, last, true},
        {"shorter pause, just past it", last + 1741, 30, last, true}, {"never synced", last, 60, 0, true},
        {"NULL reads 0: too early", 3540, 60, 0, false}, {"limit wraps in 32 bits", last, 60, INT_MAX, true}};
    for (const GateRow& r : gates) EXPECT_EQ(SyncGateAllows(r.now, r.cloop, r.last), r.allowed) << r.behaviour;

    const std::uint64_t epoch = 116444736000000000ULL, second = 10000000ULL;  // 1970 in 100-ns ticks since 1601
    EXPECT_EQ(UnixSecondsFromTicks(epoch + 1700000000 * second + second - 1), 1700000000) << "whole seconds";
    EXPECT_EQ(UnixSecondsFromTicks(epoch + ((1ULL << 32) + 5) * second), 5) << "cut to 32 bits";
}

TEST(SyncRequests, ExactTexts) {
    // An absolute name's root dot is no part of the name a server knows; only one is dropped. A full field:
    // without a page cut by one character as always, with one whole.
    const std::string full(67, 'h'), page = "h/" + std::string(65, 'p');
    const std::string rows[][3] = {
        {"127.0.0.2", "/index.php", "127.0.0.2"}, {"check.example.", "/index.php", "check.example"},
        {"check.example..", "/index.php", "check.example."}, {"check.example./", "/", "check.example"},
        {"check.example/v1/ip", "/v1/ip", "check.example"}, {full, "/index.php", full.substr(0, 66)},
        {page, page.substr(1), "h"}};
    for (const auto& [field, path, host] : rows)
        EXPECT_EQ(FormatCheckIpRequest(std::wstring(field.begin(), field.end()).c_str()),
                  "GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n") << field;
    EXPECT_NE(FormatUpdateRequest(L"a", L"192.0.2.7", L"members.example.", L"x").find(L"\r\nHost: members.example\r\n"),
              std::wstring::npos);
    EXPECT_EQ(JoinHostNames({L"a.example", L"b.example"}), L"a.example,b.example");
    EXPECT_EQ(JoinHostNames(std::vector<std::wstring>(22, L"h")).size(), 21u * 2 - 1) << "at most 21 names";
    EXPECT_EQ(FormatUpdateRequest(L"a.example,b.example", L"192.0.2.7", L"127.0.0.3", L"YWJj"),
              L"GET /nic/update?system=dyndns&hostname=a.example,b.example&myip=192.0.2.7"
              L"&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\nHost: 127.0.0.3\r\n"
              L"Authorization: Basic YWJj\r\nUser-Agent: " +
                  std::wstring(ProductName) + L"/" + ProductVersion + L" " + ContactEmail + L"\r\n\r\n");
    const std::wstring start = L"GET /nic/update?system=dyndns&hostname=";
    EXPECT_EQ(FormatUpdateRequest(std::wstring(2000, L'n'), L"192.0.2.7", L"h", L"x"),
              start + std::wstring(1023 - start.size(), L'n'));
}

TEST(SyncReplies, CheckIpAddressBetweenTheLastMarkers) {
    struct Row { const char* behaviour; std::string reply; const char* address; } rows[] = {  // null: none
        {"page", "HTTP/1.0 200 OK\r\n\r\n<body>Current IP Address: 192.0.2.7</body>", "192.0.2.7"},
        {"last markers win", "Current IP Address: 1.1.1.1</body>Current IP Address: 2.2.2.2</body>", "2.2.2.2"},
        {"IPv6 text", "Current IP Address: 2001:DB8::a1</body>", "2001:DB8::a1"},
        {"header after the address", "Current IP Address: 192.0.2.7\r\nX-Extra: 1</body>", nullptr},
        {"parameter after the address", "Current IP Address: 192.0.2.7&hostname=other.example</body>", nullptr},
        {"empty address", "Current IP Address: </body>", nullptr},
        {"no start marker", "<body>192.0.2.7</body>", nullptr},
        {"no end marker", "Current IP Address: 192.0.2.7", nullptr},
        {"end marker before the address", "</body>Current IP Address: 192.0.2.7", nullptr},
    };
    for (const Row& r : rows) {
        std::string address;
        bool found = FindCheckIpAddress(r.reply, address);
        EXPECT_EQ(found ? address : "(none)", r.address ? r.address : "(none)") << r.behaviour;
    }
    // Over verified TLS the body may be the address alone; in the clear it is none.
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    struct BareRow { std::string reply; const char *overTls, *inClear; } bare[] = {
        {head + "192.0.2.7\n", "192.0.2.7", nullptr},      {head + "192.0.2.7", "192.0.2.7", nullptr},
        {head + "192.0.2.7\r\n", "192.0.2.7", nullptr},    {head + "2001:db8::1\n", "2001:db8::1", nullptr},
        {head + "192.0.2.7\n\n", nullptr, nullptr},         {head + " 192.0.2.7", nullptr, nullptr},
        {head + "192.0.2.7&hostname=x", nullptr, nullptr}, {head + "010.0.2.7", nullptr, nullptr},
        {"192.0.2.7\n", nullptr, nullptr},                 {head, nullptr, nullptr},
        {head + "<body>Current IP Address: 192.0.2.8</body>", "192.0.2.8", "192.0.2.8"},
    };
    for (const BareRow& r : bare)
        for (bool tls : {true, false}) {
            std::string address;
            const char* expected = tls ? r.overTls : r.inClear;
            bool found = FindCheckIpAddress(r.reply, address, {tls, false});
            EXPECT_EQ(found ? address : "(none)", expected ? expected : "(none)") << r.reply << (tls ? " over TLS" : "");
        }
    // Only what an address is written as: a dotted quad, or IPv6 text within the 30 characters CurrentIP holds.
    const std::pair<const char*, bool> texts[] = {
        {".", false}, {"abc", false}, {"1.2.3", false}, {"256.1.2.3", false}, {"01.2.3.4", false}, {"1.2.3.4.", false},
        {"1234.1.1.1", false}, {"255.0.10.199", true}, {"2001:db8:0:0:0:0:0:1", true}, {"::", true}, {"1::2::3", false},
        {"::ffff:192.0.2.7", true}, {"1:2:3:4:5:6:1.2.3.4", true}, {"1:2:3:4:5:6:7:1.2.3.4", false}, {"1:::2", false},
        {"12345::1", false}, {"1.2.3.4::1", false}, {"1:2:3:4:5:6:7", false}, {"1:2:3:4:5:6:7::8", false},
        {"1::2222:3333:4444:5555:6666:7777:8888", false},  // 37 characters: cut to 30, another address
    };
    std::string a;
    for (const auto& [text, isAddress] : texts)
        EXPECT_EQ(FindCheckIpAddress("Current IP Address: " + std::string(text) + "</body>", a), isAddress) << text;
}

// The query over IPv6 takes a global IPv6 address only: hex groups, within
// 2000::/3, no dotted (IPv4-mapped or -compatible) form.
TEST(SyncReplies, CheckIp6AnswerIsAGlobalIPv6Address) {
    const std::pair<std::string, bool> texts[] = {
        {"2001:db8::7", true}, {"2A00:1450:4001:82B::200E", true}, {"3fff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", true},
        {"2001:0db8:0000:0000:0000:ff00:0042:8329", true},  // 39 characters: too long for the IPv4 field, not here
        {"2001:db8:1:2:3:4:5::", true}, {"192.0.2.7", false}, {"::ffff:192.0.2.7", false},
        {"::ffff:c000:207", false}, {"2001:db8::192.0.2.7", false}, {"::1", false}, {"::", false},
        {"fe80::1", false}, {"fd00::1", false}, {"ff02::1", false}, {"4000::1", false}, {"1fff:ffff::1", false},
        {"2001:db8::7 ", false}, {"2001:db8::7\r\nX-Extra: 1", false}, {"2001:db8::7&hostname=x", false},
        {"2001:db8::7,2001:db8::8", false}, {"2001:db8:::7", false}, {"2001:db8::g", false}, {"", false},
        {"2001:db8:1:2:3:4:5:6:7", false}, {"02001:db8::7", false},
    };
    std::string a;
    for (const auto& [text, global] : texts) {
        EXPECT_EQ(FindCheckIp6Address("<body>Current IP Address: " + text + "</body>", a), global) << text;
        EXPECT_EQ(IsGlobalIPv6Text(text), global) << text;
    }
    EXPECT_TRUE(FindCheckIp6Address("Current IP Address: 2001:db8::1</body>Current IP Address: 2001:db8::2</body>", a));
    EXPECT_EQ(a, "2001:db8::2") << "the last markers count, as for IPv4";
    // Beside it the IPv4 query takes a dotted quad only: one address of each family.
    for (const auto& [text, v4] : {std::pair<const char*, bool>{"192.0.2.7", true}, {"2001:db8::7", false},
                                   {"::ffff:192.0.2.7", false}, {"1.2.3.04", false}})
        EXPECT_EQ(FindCheckIpAddress("Current IP Address: " + std::string(text) + "</body>", a, {false, true}), v4) << text;
}

TEST(SyncRequests, BothAddressesInTheOneRequest) {
    const std::wstring tail = L"&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\nHost: h\r\n"
                              L"Authorization: Basic YWJj\r\nUser-Agent: " +
                              std::wstring(ProductName) + L"/" + ProductVersion + L" " + ContactEmail + L"\r\n\r\n";
    struct Row { const wchar_t* v4; const wchar_t* v6; std::wstring myip; } rows[] = {
        {L"192.0.2.7", L"", L"192.0.2.7"},  // option off: the request of old
        {L"192.0.2.7", L"2001:db8::7", L"192.0.2.7,2001:db8::7"},
        {L"192.0.2.7", L"2001:0db8:0000:0000:0000:ff00:0042:8329", L"192.0.2.7,2001:0db8:0000:0000:0000:ff00:0042:8329"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FormatUpdateRequest(L"a.example", UpdateAddressText(r.v4, r.v6).c_str(), L"h", L"YWJj"),
                  L"GET /nic/update?system=dyndns&hostname=a.example&myip=" + r.myip + tail);
}

TEST(SyncReplies, UpdateReplyWordFirstMatchingRowDecides) {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    struct Row { std::string reply; const wchar_t* word; bool record; } rows[] = {
        {"", L"SYNC ERROR", false},                        {head + "badauth", L"AUTH ERROR", false},
        {head + "!donator", L"NOT FREE", false},           {head + "notfqdn", L"BAD HOSTNAME", false},
        {head + "nohost", L"WRONG HOST", false},           {head + "numhost", L"TOO MANY HOSTS", false},
        {head + "abuse", L"ABUSE", false},                 {head + "badagent", L"BAD AGENT", false},
        {head + "good 127.0.0.1", L"127.0.0.1", false},    {head + "dnserr", L"DNS ERROR", false},
        {head + "911", L"DYNDNS ERROR", false},            {head + "good 192.0.2.7", L"GOOD", true},
        {head + "nochg 192.0.2.7", L"NO CHANGE", true},    {head + "good 192.0.2.7\r\nnohost", L"WRONG HOST", false},
        {head + "nochg 1.2.3.4\r\ngood 1.2.3.4", L"GOOD", true},
        {"good 192.0.2.7", L"UNKNOWN", false},  // the code only counts after a line break
    };
    for (const Row& r : rows) {
        Status status = UpdateReplyStatus(r.reply);
        bool record = StatusRecordsSync(status);
        std::wstring word = StatusWord(status);
        EXPECT_EQ(word + (record ? L" recorded" : L""), r.word + std::wstring(r.record ? L" recorded" : L""))
            << "reply \"" << r.reply << "\"";
    }
}

TEST(SyncReplies, OutcomeDecidesWordRecordAndNotice) {
    struct Row { ExchangeOutcome outcome; std::string reply; std::wstring word; int notice; } rows[] = {
        {ExchangeOutcome::CertificateRefused, "", L"CERT ERROR", NOTICE_CERT_REFUSED},
        {ExchangeOutcome::CertificateRefused, "\r\ngood 192.0.2.7", L"CERT ERROR", NOTICE_CERT_REFUSED},
        {ExchangeOutcome::NoConnection, "", L"SYNC ERROR", NOTICE_CONNECT_FAILED},
        {ExchangeOutcome::Reply, "", L"SYNC ERROR", 0},
        {ExchangeOutcome::Reply, "\r\ngood 192.0.2.7", L"GOOD recorded", 0},
    };
    for (const Row& r : rows) {
        Status status = UpdateOutcomeStatus(r.outcome, r.reply);
        bool record = StatusRecordsSync(status);
        std::wstring word = StatusWord(status);
        EXPECT_EQ(word + (record ? L" recorded" : L""), r.word) << "reply \"" << r.reply << "\"";
        EXPECT_EQ(OutcomeNotice(r.outcome), r.notice) << static_cast<int>(r.outcome);
    }
}
