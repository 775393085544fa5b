// One TLS client exchange on ActiveSocket: handshake, one write, reads
// until the server ends. No certificate is checked.
#pragma once

#include <string>

// Once per process, before any other OpenSSL call: the library never reads
// a configuration file and leaves its clean-up to the end of the process.
bool TlsStartup();

// 0 with the reply appended (bounded like every reply), -1 with the reply
// unchanged when the handshake or the write fails. serverName, when not
// null, is sent as the server name indication.
int TlsExchange(const wchar_t* request, std::string& reply, const char* serverName);
