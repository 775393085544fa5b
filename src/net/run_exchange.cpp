// The one exchange both workers run, plain or over TLS.
#include "net/run_exchange.h"

#include "net/tls.h"
#include "net/transport.h"
#include "util/text.h"

ExchangeOutcome RunExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls,
                            const wchar_t* serverName, std::string& reply) {
    // A library that did not start as we start it is not started any other
    // way (that would read its configuration): no TLS attempt goes out.
    if (tls && !TlsStartup()) return ExchangeOutcome::Reply;
    UseTcpOverIPv4();
    // Digits and dots are taken as they stand: a loose form never reaches
    // the resolver, which would read 010 as octal. A name is looked up
    // without its root dot, as a hosts file lists it.
    wchar_t address[HOST_TEXT_CAPACITY];
    CopyText(address, host);
    if (IsHostName(host)) {
        CopyText(address, ServerNameOf(host).c_str());
        ResolveHost(address);
    }

    SOCKET s = ConnectTcp(address, port, CONNECT_TIMEOUT_MS);
    if (s == INVALID_SOCKET) return ExchangeOutcome::NoConnection;
    ActiveSocket = s;

    ExchangeOutcome outcome = ExchangeOutcome::Reply;
    if (tls) {
        char name[HOST_TEXT_CAPACITY] = "";
        if (serverName != nullptr) WideToAnsi(name, ServerNameOf(serverName).c_str(), sizeof name);
        // Shared front ends pick the site by the name in the handshake; an
        // address is never sent as one.
        outcome = TlsExchange(request, reply, name, serverName != nullptr && IsHostName(serverName));
    } else if (SendAll(ActiveSocket, request)) {
        ReceiveAll(ActiveSocket, reply);
    }
    ReleaseActiveSocket();
    return outcome;
}
