// The first half of a sync attempt: the check-IP query.
#include <cwchar>

#include "net/report.h"
#include "net/run_exchange.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

// Turns ResponseBuffer into CurrentIP, empties it and shows the result.
// With the IPv6 query beside it, this one must find an IPv4 address.
static void ParseCheckIpReply(bool ipv4Only) {
    std::string address;
    CurrentIP[0] = L'\0';
    if (!ResponseBuffer.empty() && FindCheckIpAddress(ResponseBuffer, address, ipv4Only))
        AnsiToWide(CurrentIP, address.c_str(), sizeof CurrentIP / sizeof CurrentIP[0]);
    ResponseBuffer.clear();
    ReportAddress(CurrentIP[0] != L'\0' ? CurrentIP : StatusWord(Status::CheckError));
}

// The same for the query over IPv6: CurrentIP6 and the IPv6 field.
static void ParseCheckIp6Reply() {
    std::string address;
    CurrentIP6[0] = L'\0';
    if (!ResponseBuffer.empty() && FindCheckIp6Address(ResponseBuffer, address))
        AnsiToWide(CurrentIP6, address.c_str(), sizeof CurrentIP6 / sizeof CurrentIP6[0]);
    ResponseBuffer.clear();
    ReportAddress6(CurrentIP6[0] != L'\0' ? CurrentIP6 : StatusWord(Status::CheckError));
}

ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls,
                               AddressFamily family) {
    ExchangeOutcome outcome = RunExchange(host, port, request, tls, host, ResponseBuffer, family);
    if (int notice = OutcomeNotice(outcome)) ReportConnectionFailure(notice);
    return outcome;
}

unsigned long CheckIpWorker(void*) {
    const bool withIPv6 = SettingsRecord.UseIPv6Flag;
    CurrentIP6[0] = L'\0';
    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, SettingsRecord.DomainCheckIP, sizeof host);
    WorkerExchange(SettingsRecord.DomainCheckIP, 80, FormatCheckIpRequest(host), false);
    ParseCheckIpReply(withIPv6);
    // Asked even when IPv4 failed, so the page shows which family did.
    if (withIPv6) {
        wchar_t host6[HOST_TEXT_CAPACITY];
        CopyText(host6, SettingsRecord.DomainCheckIP6);
        WideToAnsi(host, host6, sizeof host);
        WorkerExchange(host6, 80, FormatCheckIpRequest(host), false, AddressFamily::IPv6);
        ParseCheckIp6Reply();
    }
    ReportCheckIpEnd();
    return 0;
}
