// The gate in front of a sync attempt and its first half: the check-IP
// query.
#include <cstdio>
#include <cwchar>

#include "settings/settings.h"
#include "sync/exchange.h"
#include "sync/sync.h"
#include "util/clock.h"
#include "util/text.h"

wchar_t CurrentIP[CURRENT_IP_CAPACITY] = L"";
std::string& ResponseBuffer = *new std::string();
WindowHandle QueryEdits[3] = {};
WorkerHandle WorkerThread = nullptr;

std::wstring UnixTimeText() {
    return DecimalText(UnixSecondsFromTicks(SystemTimeTicks()));
}

std::wstring LocalTimeText() {
    LocalClock t = LocalTimeNow();
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%04d.%02d.%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

void BeginSync() {
    int now = DecimalValue(UnixTimeText().c_str());
    int cloop = DecimalValue(SettingsRecord.CLOOP);
    int lastSync = DecimalValue(SettingsRecord.TIMESTAMP);

    SendWindowText(QueryEdits[0], LocalTimeText().c_str());
    SendWindowText(QueryEdits[1], L"wait sync...");
    SendWindowText(QueryEdits[2], L"wait sync...");

    if (SyncGateAllows(now, cloop, lastSync)) {
        WorkerThread = StartWorkerThread(CheckIpWorker);
        return;
    }
    SendWindowText(QueryEdits[2], L"STOP SPAM");
    SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
}

// Turns ResponseBuffer into CurrentIP, empties it and shows the result.
static void ParseCheckIpReply() {
    std::string address;
    if (ResponseBuffer.empty() || !FindCheckIpAddress(ResponseBuffer, address)) {
        CopyText(CurrentIP, L"CHECK ERROR");
    } else {
        AnsiToWide(CurrentIP, address.c_str(), sizeof CurrentIP / sizeof CurrentIP[0]);
    }
    ResponseBuffer.clear();
    SendWindowText(QueryEdits[1], CurrentIP);
}

ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls) {
    ExchangeOutcome outcome = RunExchange(host, port, request, tls, host, ResponseBuffer);
    if (int notice = OutcomeNotice(outcome)) SendWindowMessage(MainWindow, WM_NET_NOTICE, 0, notice);
    return outcome;
}

unsigned long CheckIpWorker(void*) {
    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, SettingsRecord.DomainCheckIP, sizeof host);
    WorkerExchange(SettingsRecord.DomainCheckIP, 80, FormatCheckIpRequest(host), false);
    ParseCheckIpReply();
    SendWindowMessage(MainWindow, WM_CHECKIP_DONE, 0, 0);
    return 0;
}
