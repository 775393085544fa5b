// The first half of a sync attempt: the check-IP query.
#include <memory>

#include "net/report.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

namespace {

// One query: its page, empty when none came.
std::string AskCheckIpPage(const SyncJob& job, const std::wstring& server, AddressFamily family) {
    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, server.c_str(), sizeof host);
    std::string reply;
    ExchangeOutcome exchange = RunExchange(server.c_str(), job.port, FormatCheckIpRequest(host), job.tls,
                                           server.c_str(), reply, family);
    if (int notice = OutcomeNotice(exchange)) ReportConnectionFailure(notice);
    return reply;
}

template <std::size_t N>
std::wstring Wide(const std::string& address) {
    wchar_t wide[N];
    AnsiToWide(wide, address.c_str(), N);
    return wide;
}

}  // namespace

SyncOutcome CheckIp(const SyncJob& job) {
    SyncOutcome outcome;
    outcome.withIPv6 = !job.server6.empty();
    std::string reply = AskCheckIpPage(job, job.server, AddressFamily::IPv4), address;
    // Beside the query over IPv6 this one must find an IPv4 address.
    if (!reply.empty() && FindCheckIpAddress(reply, address, outcome.withIPv6))
        outcome.address = Wide<CURRENT_IP_CAPACITY>(address);
    // Asked even when IPv4 failed, so the page shows which family did.
    if (outcome.withIPv6) {
        reply = AskCheckIpPage(job, job.server6, AddressFamily::IPv6);
        if (!reply.empty() && FindCheckIp6Address(reply, address))
            outcome.address6 = Wide<CURRENT_IP6_CAPACITY>(address);
    }
    return outcome;
}

unsigned long CheckIpWorker(void* job) {
    std::unique_ptr<SyncJob> own(static_cast<SyncJob*>(job));
    ReportCheckIpEnd(CheckIp(*own));
    return 0;
}
