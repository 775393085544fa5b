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
static void ParseCheckIpReply() {
    std::string address;
    CurrentIP[0] = L'\0';
    if (!ResponseBuffer.empty() && FindCheckIpAddress(ResponseBuffer, address))
        AnsiToWide(CurrentIP, address.c_str(), sizeof CurrentIP / sizeof CurrentIP[0]);
    ResponseBuffer.clear();
    ReportAddress(CurrentIP[0] != L'\0' ? CurrentIP : StatusWord(Status::CheckError));
}

ExchangeOutcome WorkerExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls) {
    ExchangeOutcome outcome = RunExchange(host, port, request, tls, host, ResponseBuffer);
    if (int notice = OutcomeNotice(outcome)) ReportConnectionFailure(notice);
    return outcome;
}

unsigned long CheckIpWorker(void*) {

    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, SettingsRecord.DomainCheckIP, sizeof host);
    WorkerExchange(SettingsRecord.DomainCheckIP, 80, FormatCheckIpRequest(host), false);
    ParseCheckIpReply();
    ReportCheckIpEnd();
    return 0;
}
