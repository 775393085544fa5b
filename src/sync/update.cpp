// The second half of a sync attempt: the dyndns2 update, its reply word
// and the record of the last sync.
#include <string>
#include <vector>

#include "net/transport.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/exchange.h"
#include "sync/sync.h"
#include "util/text.h"

void SaveLastSync() {
    CopyText(SettingsRecord.TIMESTAMP, UnixTimeText().c_str());
    CopyText(SettingsRecord.LASTIP, CurrentIP);
    StoreValue(RegistryKeyPath, L"LASTIP", SettingsRecord.LASTIP);
    StoreValue(RegistryKeyPath, L"TIMESTAMP", SettingsRecord.TIMESTAMP);
}

static void InterpretUpdateReply(ExchangeOutcome outcome) {
    bool record = false;
    const wchar_t* word = UpdateOutcomeWord(outcome, ResponseBuffer, &record);
    if (record) SaveLastSync();
    SendWindowText(QueryEdits[2], word);
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
    SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
    return 0;
}
