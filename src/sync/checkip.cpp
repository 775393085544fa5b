// The first half of a sync attempt: the check-IP query.
#include <memory>

#include "net/report.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

namespace {

// One query for a Check IP field (host or host/path): its page, empty when
// none came; refused tells whether the server's certificate was refused.
std::string AskCheckIpPage(const SyncJob& job, const std::wstring& field, AddressFamily family, bool& refused) {
    std::wstring host = CheckIpHostOf(field.c_str());
    std::string reply;
    ExchangeOutcome exchange = RunExchange(host.c_str(), job.port, FormatCheckIpRequest(field.c_str()), job.tls,
                                           host.c_str(), reply, family);
    if (int notice = OutcomeNotice(exchange)) ReportConnectionFailure(notice);
    refused = refused || exchange == ExchangeOutcome::CertificateRefused;
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
    bool refused = false;
    std::string reply = AskCheckIpPage(job, job.server, AddressFamily::IPv4, refused), address;
    // Over verified TLS the address alone is a whole answer too; beside the
    // query over IPv6 this one must find an IPv4 address.
    if (!reply.empty() && FindCheckIpAddress(reply, address, {job.tls, outcome.withIPv6}))
        outcome.address = Wide<CURRENT_IP_CAPACITY>(address);
    // Asked even when IPv4 failed, so the page shows which family did.
    if (outcome.withIPv6) {
        reply = AskCheckIpPage(job, job.server6, AddressFamily::IPv6, refused);
        if (!reply.empty() && FindCheckIp6Address(reply, address, job.tls))
            outcome.address6 = Wide<CURRENT_IP6_CAPACITY>(address);
    }
    // A refused server has had no byte of the request: the attempt ends as CERT ERROR.
    if (refused) outcome.status = Status::CertError;
    return outcome;
}

unsigned long CheckIpWorker(void* job) {
    std::unique_ptr<SyncJob> own(static_cast<SyncJob*>(job));
    ReportCheckIpEnd(CheckIp(*own));
    return 0;
}
