// The first half of a sync attempt: the check-IP query.
#include <cwchar>

#include "net/report.h"
#include "net/transport.h"
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

unsigned long CheckIpWorker(void*) {
    UseTcpOverIPv4();

    wchar_t address[HOST_TEXT_CAPACITY];
    CopyText(address, SettingsRecord.DomainCheckIP);
    ResolveHost(address);

    SOCKET s = ConnectTcp(address, 80, CONNECT_TIMEOUT_MS);
    if (s == INVALID_SOCKET) {
        ReportConnectionFailure(NOTICE_CONNECT_FAILED);
        ParseCheckIpReply();
        ReportCheckIpEnd();
        return 0;
    }
    ActiveSocket = s;

    // The request's Host line takes one character less than the field holds.
    char host[HOST_TEXT_CAPACITY - 1];
    WideToAnsi(host, SettingsRecord.DomainCheckIP, sizeof host);
    std::string request = FormatCheckIpRequest(host);
    int sent = send(ActiveSocket, request.data(), static_cast<int>(request.size()), 0);
    if (sent != SOCKET_ERROR && sent >= 1) ReceiveAll(ActiveSocket, ResponseBuffer);

    ReleaseActiveSocket();

    ParseCheckIpReply();
    ReportCheckIpEnd();
    return 0;
}
