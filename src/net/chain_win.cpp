// The Windows chain engine's verdict on a server's chain: exactly the roots
// this machine trusts decide, including roots Windows fetches on demand,
// roots pushed by policy and roots the user imported. No OpenSSL header in
// this file: wincrypt.h defines names (X509_NAME and others) that break them.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include <windows.h>
#include <wincrypt.h>

#include "net/trust.h"

namespace {

// Revocation that cannot be learnt (no address in the certificate, no
// answer in time) does not refuse a server; a revoked certificate does.
const DWORD kRevocationUnknown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
// The policy leaves two things to others: the name, checked beside the
// chain by the same rule on every platform (SECURITY_FLAG_IGNORE_CERT_CN_INVALID),
// and revocation, judged from the chain's own status, since some policies
// refuse an unknown status whatever the flags say (SECURITY_FLAG_IGNORE_REVOCATION).
const DWORD kCheckedElsewhere = 0x00001000 | 0x00000080;

const BYTE* Bytes(const std::string& der) {
    return reinterpret_cast<const BYTE*>(der.data());
}

// The chain's own status as well as the policy's: some chain engines pass a
// chain whose issuer was never found.
bool ChainAcceptable(PCCERT_CHAIN_CONTEXT chain) {
    if ((chain->TrustStatus.dwErrorStatus & ~kRevocationUnknown) != 0) return false;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA server = {};
    server.cbSize = sizeof server;
    server.dwAuthType = AUTHTYPE_SERVER;
    server.fdwChecks = kCheckedElsewhere;
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policy.pvExtraPolicyPara = &server;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) && status.dwError == 0;
}

// Every fetch (revocation, missing issuers) within fetchMs as far as the
// engine honours it.
PCCERT_CHAIN_CONTEXT BuildChain(PCCERT_CONTEXT leaf, HCERTSTORE sent, DWORD fetchMs, DWORD flags) {
    LPSTR serverAuth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = serverAuth;
    para.dwUrlRetrievalTimeout = fetchMs;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    return CertGetCertificateChain(nullptr, leaf, nullptr, sent, &para, flags, nullptr, &chain) ? chain : nullptr;
}

const DWORD kFetching = CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT;
// No revocation asked at all: Wine's engine fetches it even when told to
// use its cache only.
const DWORD kWithoutFetching = CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL;

// A chain built on a thread of its own: a fetch the engine does not end in
// time (Wine's waits for a silent server until it closes, whatever the
// time-out) cannot hold the exchange. The last of its two owners frees it.
struct ChainBuild {
    PCCERT_CONTEXT leaf;
    HCERTSTORE sent;
    DWORD fetchMs;
    PCCERT_CHAIN_CONTEXT chain;
    LONG owners;
};

void Release(ChainBuild* build) {
    if (InterlockedDecrement(&build->owners) != 0) return;
    if (build->chain != nullptr) CertFreeCertificateChain(build->chain);
    CertCloseStore(build->sent, 0);
    CertFreeCertificateContext(build->leaf);
    delete build;
}

DWORD WINAPI BuildFetching(void* argument) {
    ChainBuild* build = static_cast<ChainBuild*>(argument);
    build->chain = BuildChain(build->leaf, build->sent, build->fetchMs, kFetching);
    Release(build);
    return 0;
}

}  // namespace

bool WindowsTrustsChain(const std::vector<std::string>& der, int shareMs) {
    if (der.empty() || shareMs <= 0) return false;
    PCCERT_CONTEXT leaf = CertCreateCertificateContext(X509_ASN_ENCODING, Bytes(der[0]), static_cast<DWORD>(der[0].size()));
    // What the server sent besides its leaf, for the engine to build through.
    HCERTSTORE sent = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
    if (leaf == nullptr || sent == nullptr) {
        if (sent != nullptr) CertCloseStore(sent, 0);
        if (leaf != nullptr) CertFreeCertificateContext(leaf);
        return false;
    }
    for (std::size_t i = 1; i < der.size(); ++i)
        CertAddEncodedCertificateToStore(sent, X509_ASN_ENCODING, Bytes(der[i]), static_cast<DWORD>(der[i].size()),
                                         CERT_STORE_ADD_ALWAYS, nullptr);

    ChainBuild* build = new ChainBuild{leaf, sent, static_cast<DWORD>(shareMs), nullptr, 2};
    HANDLE thread = CreateThread(nullptr, 0, BuildFetching, build, 0, nullptr);
    if (thread == nullptr) build->owners = 1;
    bool trusted = false;
    if (thread != nullptr && WaitForSingleObject(thread, static_cast<DWORD>(shareMs)) == WAIT_OBJECT_0) {
        trusted = build->chain != nullptr && ChainAcceptable(build->chain);
    } else {
        // Out of time: judge by what this machine knows without fetching;
        // the fetch ends on its own.
        PCCERT_CHAIN_CONTEXT known = BuildChain(leaf, sent, 0, kWithoutFetching);
        trusted = known != nullptr && ChainAcceptable(known);
        if (known != nullptr) CertFreeCertificateChain(known);
    }
    if (thread != nullptr) CloseHandle(thread);
    Release(build);
    return trusted;
}
