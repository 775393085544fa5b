// The pure parts of an attempt: the gate, the requests, page and reply
// parsing, the bounded reply buffer.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "sync/exchange.h"
#include "sync/sync.h"

TEST(SyncGate, RefusesUntilThePauseLessOneMinuteHasPassed) {
    const int last = 1700000000;
    struct Row {
        int now, cloop, last;
        bool allowed;
    } rows[] = {
        {last + 3540, 60, last, false},  // exactly one minute short of the pause
        {last + 3541, 60, last, true},
        {last + 1740, 30, last, false},
        {last + 1741, 30, last, true},
        {last, 60, last, false},
        {last - 100000, 60, last, false},  // clock went back: still refused
        {1, 60, 0, false},                 // "NULL" reads as 0: limit 3540
        {1700000000, 60, 0, true},         // never synced
        {1700000000, 60, INT_MAX - 100, true},  // the limit wraps negative in 32 bits
    };
    for (const Row& r : rows)
        EXPECT_EQ(SyncGateAllows(r.now, r.cloop, r.last), r.allowed)
            << "now " << r.now << " cloop " << r.cloop << " last " << r.last;
}

TEST(UnixSecondsFromTicks, CountsFrom1970) {
    EXPECT_EQ(UnixSecondsFromTicks(116444736000000000ULL), 0);
    EXPECT_EQ(UnixSecondsFromTicks(116444736000000000ULL + 17000000009999999ULL), 1700000000);
}

TEST(CheckIpRequest, IsExactlyTheGetAndTheHost) {
    EXPECT_EQ(FormatCheckIpRequest("127.0.0.2"), "GET /index.php HTTP/1.0\r\nHost: 127.0.0.2\r\n\r\n");
}

TEST(FindCheckIpAddress, TakesTheTextBetweenTheLastMarkers) {
    struct Row {
        std::string reply;
        bool found;
        std::string address;
    } rows[] = {
        {"HTTP/1.0 200 OK\r\n\r\n<body>Current IP Address: 192.0.2.7</body>", true, "192.0.2.7"},
        {"Current IP Address: 1.1.1.1</body> Current IP Address: 2.2.2.2</body>", true, "2.2.2.2"},
        {"Current IP Address: 3.3.3.3 </body>\r\n", true, "3.3.3.3 "},  // not trimmed
        {"Current IP Address:192.0.2.7</body>", false, ""},               // no blank after the colon
        {"current ip address: 192.0.2.7</body>", false, ""},
        {"Current IP Address: 192.0.2.7", false, ""},
        {"</body>Current IP Address: 192.0.2.7", true, ""},  // end marker before the address
        {"", false, ""},
    };
    for (const Row& r : rows) {
        std::string address = "untouched";
        EXPECT_EQ(FindCheckIpAddress(r.reply, address), r.found) << r.reply;
        if (r.found) {
            EXPECT_EQ(address, r.address) << r.reply;
        }
    }
}

TEST(JoinHostNames, CommaSeparatesAtMost21Names) {
    EXPECT_EQ(JoinHostNames({}), L"");
    EXPECT_EQ(JoinHostNames({L"a.example"}), L"a.example");
    EXPECT_EQ(JoinHostNames({L"a.example", L"b.example"}), L"a.example,b.example");
    std::vector<std::wstring> many;
    std::wstring expected;
    for (int i = 0; i < 25; ++i) {
        many.push_back(L"h" + std::to_wstring(i));
        if (i < 21) expected += (i ? L"," : L"") + many.back();
    }
    EXPECT_EQ(JoinHostNames(many), expected);
}

TEST(UpdateRequest, CarriesEveryFieldInOrder) {
    std::wstring r = FormatUpdateRequest(L"a.example,b.example", L"192.0.2.7", L"127.0.0.3", L"NULL");
    EXPECT_EQ(r,
              L"GET /nic/update?system=dyndns&hostname=a.example,b.example&myip=192.0.2.7"
              L"&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\n"
              L"Host: 127.0.0.3\r\n"
              L"Authorization: Basic NULL\r\n"
              L"User-Agent: DynDNS Velloq Client/2.0.0.2 " +
                  std::wstring(ContactEmail) + L"\r\n\r\n");
    std::wstring empty = FormatUpdateRequest(L"", L"192.0.2.7", L"h", L"x");
    EXPECT_NE(empty.find(L"hostname=&myip=192.0.2.7&"), std::wstring::npos);
}

TEST(UpdateRequest, IsCutAt1023Characters) {
    std::wstring names(2000, L'n');
    std::wstring r = FormatUpdateRequest(names, L"192.0.2.7", L"h", L"x");
    EXPECT_EQ(r.size(), 1023u);
    EXPECT_EQ(r.find(L"\r\n\r\n"), std::wstring::npos) << "a cut request lacks its closing empty line";
}

TEST(UpdateReplyWord, FirstMatchingRowInTableOrderDecides) {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    struct Row {
        std::string reply;
        const wchar_t* word;
        bool record;
    } rows[] = {
        {"", L"SYNC ERROR", false},
        {head + "badauth", L"AUTH ERROR", false},
        {head + "!donator", L"NOT FREE", false},
        {head + "notfqdn", L"BAD HOSTNAME", false},
        {head + "nohost", L"WRONG HOST", false},
        {head + "numhost", L"TOO MANY HOSTS", false},
        {head + "abuse", L"ABUSE", false},
        {head + "badagent", L"BAD AGENT", false},
        {head + "good 127.0.0.1", L"127.0.0.1", false},
        {head + "dnserr", L"DNS ERROR", false},
        {head + "911", L"DYNDNS ERROR", false},
        {head + "good 192.0.2.7", L"GOOD", true},
        {head + "nochg 192.0.2.7", L"NO CHANGE", true},
        {head + "good 192.0.2.7\r\nnohost", L"WRONG HOST", false},  // an error line wins
        {head + "nochg 192.0.2.7\r\ngood 192.0.2.7", L"GOOD", true},
        {head + "good 127.0.0.1\r\nbadagent", L"BAD AGENT", false},
        {"good 192.0.2.7", L"UNKNOWN", false},  // no line break before the code
        {head + "GOOD 192.0.2.7", L"UNKNOWN", false},
        {"HTTP/1.0 500 Oops\r\n\r\n<html>error</html>", L"UNKNOWN", false},
        {head + " good", L"UNKNOWN", false},
    };
    for (const Row& r : rows) {
        bool record = !r.record;
        EXPECT_STREQ(UpdateReplyWord(r.reply, &record), r.word) << r.reply;
        EXPECT_EQ(record, r.record) << r.reply;
    }
}

TEST(AppendBounded, StopsAtTheLimit) {
    std::string reply;
    std::string chunk(1000, 'x');
    std::size_t calls = 0;
    while (AppendBounded(reply, chunk.data(), chunk.size())) ++calls;
    EXPECT_EQ(reply.size(), RESPONSE_LIMIT);
    EXPECT_EQ(calls, RESPONSE_LIMIT / 1000);
    EXPECT_FALSE(AppendBounded(reply, "y", 1));
    EXPECT_EQ(reply.size(), RESPONSE_LIMIT);
}
