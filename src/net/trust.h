// The platform's part of verifying a TLS server: whose roots decide and how
// the chain the server sent is judged. Natively OpenSSL with the system's
// default trust (trust_posix.cpp); on Windows the chain engine
// (trust_win.cpp hands the chain over, chain_win.cpp judges it). No OpenSSL
// header here: chain_win.cpp includes this beside wincrypt.h.
#pragma once

#include <string>
#include <vector>

struct ssl_ctx_st;
struct x509_store_ctx_st;

// Readies a new context for PlatformTrustsChain. false: no trust to judge by.
bool PrepareTrust(ssl_ctx_st* context);

// Whether the chain the server sent (the store context libssl built for it)
// leads to a root this machine trusts, with every certificate in its time.
bool PlatformTrustsChain(x509_store_ctx_st* chain);

// The chain engine's verdict on a leaf and the certificates sent with it,
// DER, leaf first, within shareMs: what the engine fetches (revocation,
// missing issuers) and does not have by then is judged as unknown. A
// revocation status that cannot be learnt does not refuse, a revoked one does.
bool WindowsTrustsChain(const std::vector<std::string>& der, int shareMs);
