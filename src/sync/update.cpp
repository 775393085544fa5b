// The second half of a sync attempt: the dyndns2 update and its outcome.
#include <string>
#include <vector>

#include "net/report.h"
#include "net/tls.h"
#include "net/transport.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "sync/report.h"
#include "sync/sync.h"
#include "util/text.h"

static void InterpretUpdateReply() {
    Status status = UpdateReplyStatus(ResponseBuffer);
    if (StatusRecordsSync(status)) SaveLastSync();
    ReportStatus(StatusWord(status));
    ResponseBuffer.clear();
}

unsigned long UpdateWorker(void*) {
    UseTcpOverIPv4();
    // One look at the option decides both the port and the path, and the
    // settings are copied once, so a Reload during the run cannot tear them.
    const bool secure = SettingsRecord.UseSSLFlag;
    wchar_t updateHost[HOST_TEXT_CAPACITY];
    wchar_t auth[sizeof SettingsRecord.AUTH / sizeof(wchar_t)];
    CopyText(updateHost, SettingsRecord.DomainDynDNS);
    CopyText(auth, SettingsRecord.AUTH);
    std::wstring hostNames = JoinHostNames(SettingsRecord.HostList);

    wchar_t address[HOST_TEXT_CAPACITY];
    CopyText(address, updateHost);
    ResolveHost(address);

    SOCKET s = ConnectTcp(address, secure ? 443 : 80, CONNECT_TIMEOUT_MS);
    if (s == INVALID_SOCKET) {
        ReportConnectionFailure(NOTICE_CONNECT_FAILED);
        InterpretUpdateReply();
        ReportUpdateEnd();
        return 0;
    }
    ActiveSocket = s;

    std::wstring request = FormatUpdateRequest(hostNames, CurrentIP, updateHost, auth);
    if (secure) {
        // Shared front ends pick the site by the name in the handshake.
        char serverName[HOST_TEXT_CAPACITY];
        WideToAnsi(serverName, updateHost, sizeof serverName);
        TlsExchange(request.c_str(), ResponseBuffer, IsHostName(updateHost) ? serverName : nullptr);
    } else {
        char narrow[1024];
        WideToAnsi(narrow, request.c_str(), sizeof narrow);
        int length = static_cast<int>(std::char_traits<char>::length(narrow));
        int sent = send(ActiveSocket, narrow, length, 0);
        if (sent != SOCKET_ERROR && sent >= 1) ReceiveAll(ActiveSocket, ResponseBuffer);
    }

    ReleaseActiveSocket();

    InterpretUpdateReply();
    ReportUpdateEnd();
    return 0;
}
