// The second half of a sync attempt: the dyndns2 update and its outcome.
#include <string>
#include <vector>

#include "net/transport.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

static void InterpretUpdateReply(ExchangeOutcome outcome, bool sentIPv6) {
    Status status = UpdateOutcomeStatus(outcome, ResponseBuffer);
    // LASTIP6 only while the option is on, so off the store holds what it always held.
    if (StatusRecordsSync(status)) SaveLastSync(sentIPv6 && SettingsRecord.UseIPv6Flag);
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
    // The check found an IPv6 address only with the option on.
    const bool sentIPv6 = CurrentIP6[0] != L'\0';
    std::wstring address = UpdateAddressText(CurrentIP, CurrentIP6);

    char request[1024];
    WideToAnsi(request, FormatUpdateRequest(hostNames, address.c_str(), updateHost, auth).c_str(), sizeof request);
    InterpretUpdateReply(WorkerExchange(updateHost, secure ? 443 : 80, request, secure), sentIPv6);
    ReportUpdateEnd();
    return 0;
}
