// One TLS client exchange on ActiveSocket: handshake with the server's
// certificate verified, one write, reads until the server ends.
#pragma once

#include <string>

#include "net/run_exchange.h"

// Before any other OpenSSL call, by each TLS exchange (the library starts
// once, on the first; a program that never sends over TLS never starts it):
// the library never reads a configuration file and leaves its clean-up to
// the end of the process. false when the library could not be started so;
// every TLS attempt then ends without a reply.
bool TlsStartup();

// The library's own start-up call, replaceable so a test can make it fail.
extern bool (*TlsLibraryStartup)();

// Reply with the reply appended (nothing when the handshake or the write
// fails), or CertificateRefused when the chain is not trusted or not for
// serverName; the request is then never written. sendName: serverName also
// goes out as the server name indication.
ExchangeOutcome TlsExchange(const std::string& request, std::string& reply, const char* serverName, bool sendName);

// Whether the certificate is for serverName: a dotted address must be one
// of its IP addresses, a name must match one of its subjectAltName names (a
// wildcard only as a whole leftmost label; the subject's common name never
// counts). The same rule on every platform.
struct x509_st;
bool CertificateIsFor(x509_st* certificate, const char* serverName);
