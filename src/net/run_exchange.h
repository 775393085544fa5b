// One exchange with a server: resolve, connect, send the request, read the
// reply, close. Plain TCP or TLS; over TLS the server is verified before a
// byte of the request leaves.
#pragma once

#include <string>

enum class ExchangeOutcome {
    NoConnection,        // no socket, or the connect failed
    Reply,               // whatever arrived, possibly nothing
    CertificateRefused,  // the server's certificate failed; nothing was sent
};

// host: the configured host text, resolved here when it is a name.
// serverName (TLS only): the name the certificate must be for (the host
// name, or a dotted address as an IP address), also sent as the server name
// indication when it is a name; a trailing dot is dropped for both.
// The reply is appended to reply, bounded like every reply.
ExchangeOutcome RunExchange(const wchar_t* host, unsigned short port, const std::string& request, bool tls,
                            const wchar_t* serverName, std::string& reply);
