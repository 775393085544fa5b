// The Windows build's trust: the chain the server sent goes, as DER, to the
// chain engine (chain_win.cpp), so the roots this machine trusts decide.
// OpenSSL loads no roots and reads nothing from disk.
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include "net/transport.h"
#include "net/trust.h"

namespace {

void AddDer(std::vector<std::string>& der, X509* certificate) {
    unsigned char* bytes = nullptr;
    int length = i2d_X509(certificate, &bytes);
    if (length > 0) der.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    OPENSSL_free(bytes);
}

}  // namespace

bool PrepareTrust(SSL_CTX*) {
    return true;
}

bool PlatformTrustsChain(X509_STORE_CTX* chain) {
    X509* leaf = X509_STORE_CTX_get0_cert(chain);
    if (leaf == nullptr) return false;
    std::vector<std::string> der;
    AddDer(der, leaf);
    STACK_OF(X509)* sent = X509_STORE_CTX_get0_untrusted(chain);
    for (int i = 0; i < sk_X509_num(sent); ++i) {
        X509* certificate = sk_X509_value(sent, i);
        if (X509_cmp(certificate, leaf) != 0) AddDer(der, certificate);
    }
    // At most a quarter of the exchange: the request and its reply keep the rest.
    int share = ExchangeTimeLeftMs();
    if (share > EXCHANGE_DEADLINE_MS / 4) share = EXCHANGE_DEADLINE_MS / 4;
    return WindowsTrustsChain(der, share);
}
