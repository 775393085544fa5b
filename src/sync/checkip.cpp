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
// Over verified TLS a bare address is a whole answer too.
static void ParseCheckIpReply(bool secure) {
    std::string address;
    CurrentIP[0] = L'\0';
    if (!ResponseBuffer.empty() && FindCheckIpAddress(ResponseBuffer, address, secure))
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
    // One look at the option decides both the port and the path.
    const bool secure = SettingsRecord.SecureCheckIPFlag;
    // The request takes one character less than the field holds.
    char field[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(field, SettingsRecord.DomainCheckIP, sizeof field);
    std::wstring host = CheckIpHostOf(SettingsRecord.DomainCheckIP);
    // A refused server has had no byte of the request; the attempt ends here.
    if (WorkerExchange(host.c_str(), secure ? 443 : 80, FormatCheckIpRequest(field), secure) ==
        ExchangeOutcome::CertificateRefused)
        ReportStatus(StatusWord(Status::CertError));
    ParseCheckIpReply(secure);
    ReportCheckIpEnd();
    return 0;
}
