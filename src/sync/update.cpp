// The second half of a sync attempt: the dyndns2 update and its outcome.
#include <memory>
#include <string>

#include "net/report.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

SyncOutcome Update(const SyncJob& job) {
    char request[1024];
    WideToAnsi(request,
               FormatUpdateRequest(JoinHostNames(job.hostNames), job.address.c_str(), job.server.c_str(),
                                   job.auth.c_str()).c_str(),
               sizeof request);
    std::string reply;
    ExchangeOutcome exchange = RunExchange(job.server.c_str(), job.port, request, job.tls, job.server.c_str(), reply);
    if (int notice = OutcomeNotice(exchange)) ReportConnectionFailure(notice);

    SyncOutcome outcome;
    outcome.address = job.address;
    outcome.status = UpdateOutcomeStatus(exchange, reply);
    return outcome;
}

unsigned long UpdateWorker(void* job) {
    std::unique_ptr<SyncJob> own(static_cast<SyncJob*>(job));
    ReportUpdateEnd(Update(*own));
    return 0;
}
