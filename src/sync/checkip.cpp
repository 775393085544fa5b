// The first half of a sync attempt: the check-IP query.
#include <memory>

#include "net/report.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

SyncOutcome CheckIp(const SyncJob& job) {
    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, job.server.c_str(), sizeof host);
    std::string reply;
    ExchangeOutcome exchange = RunExchange(job.server.c_str(), job.port, FormatCheckIpRequest(host), job.tls,
                                           job.server.c_str(), reply);
    if (int notice = OutcomeNotice(exchange)) ReportConnectionFailure(notice);

    SyncOutcome outcome;
    std::string address;
    if (!reply.empty() && FindCheckIpAddress(reply, address)) {
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
