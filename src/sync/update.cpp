// The second half of a sync attempt: the dyndns2 update and its outcome.
#include <string>
#include <vector>

#include "net/transport.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

static void InterpretUpdateReply(ExchangeOutcome outcome) {
    Status status = UpdateOutcomeStatus(outcome, ResponseBuffer);
    if (StatusRecordsSync(status)) SaveLastSync();
    ReportStatus(StatusWord(status));
    ResponseBuffer.clear();
}

unsigned long UpdateWorker(void*) {
    // One look at the option decides both the port and the path, and the
    // settings are copied once, so a Reload during the run cannot tear them.
    const bool secure = SettingsRecord.UseSSLFlag;
    wchar_t updateHost[HOST_TEXT_CAPACITY];
    wchar_t auth[sizeof SettingsRecord.AUTH / sizeof(wchar_t)];
    CopyText(updateHost, SettingsRecord.DomainDynDNS);
    CopyText(auth, SettingsRecord.AUTH);
    std::wstring hostNames = JoinHostNames(SettingsRecord.HostList);

    char request[1024];
    WideToAnsi(request, FormatUpdateRequest(hostNames, CurrentIP, updateHost, auth).c_str(), sizeof request);
    InterpretUpdateReply(WorkerExchange(updateHost, secure ? 443 : 80, request, secure));
    ReportUpdateEnd();
    return 0;
}
