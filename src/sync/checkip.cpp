// The first half of a sync attempt: the check-IP query.
#include <memory>

#include "net/report.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

SyncOutcome CheckIp(const SyncJob& job) {
    std::wstring host = CheckIpHostOf(job.server.c_str());
    std::string reply;
    ExchangeOutcome exchange =
        RunExchange(host.c_str(), job.port, FormatCheckIpRequest(job.server.c_str()), job.tls, host.c_str(), reply);
    if (int notice = OutcomeNotice(exchange)) ReportConnectionFailure(notice);

    SyncOutcome outcome;
    // A refused server has had no byte of the request: the attempt ends as CERT ERROR.
    if (exchange == ExchangeOutcome::CertificateRefused) outcome.status = Status::CertError;
    std::string address;
    // Over verified TLS the address alone is a whole answer too.
    if (!reply.empty() && FindCheckIpAddress(reply, address, job.tls)) {
        wchar_t wide[CURRENT_IP_CAPACITY];
        AnsiToWide(wide, address.c_str(), CURRENT_IP_CAPACITY);
        outcome.address = wide;
    }
    return outcome;
}

unsigned long CheckIpWorker(void* job) {
    std::unique_ptr<SyncJob> own(static_cast<SyncJob*>(job));
    ReportCheckIpEnd(CheckIp(*own));
    return 0;
}
