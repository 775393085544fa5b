// One TLS client exchange on ActiveSocket: handshake, one write, reads
// until the server ends. No certificate is checked.
#pragma once

#include <string>

// 0 with the reply appended (bounded like every reply), -1 with the reply
// unchanged when the handshake or the write fails.
int TlsExchange(const wchar_t* request, std::string& reply);

// The library's version texts: the one we were built with, the one in use.
const char* TlsBuildVersionText();
const char* TlsRuntimeVersionText();
