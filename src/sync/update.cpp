// The second half of a sync attempt: the dyndns2 update, its reply word
// and the record of the last sync.
#include <string>
#include <vector>

#include "net/tls.h"
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

static void InterpretUpdateReply() {
    bool record = false;
    const wchar_t* word = UpdateReplyWord(ResponseBuffer, &record);
    if (record) SaveLastSync();
    SendWindowText(QueryEdits[2], word);
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

    SOCKET s = ConnectTcp(MainWindow, address, secure ? 443 : 80, CONNECT_TIMEOUT_MS);
    if (s == INVALID_SOCKET) {
        SendWindowMessage(MainWindow, WM_NET_NOTICE, 0, NOTICE_CONNECT_FAILED);
        InterpretUpdateReply();
        SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
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
    SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
    return 0;
}
