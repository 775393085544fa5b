// The native build's trust: OpenSSL's own chain verification against the
// system's default roots (SSL_CERT_FILE and SSL_CERT_DIR point elsewhere).
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include "net/trust.h"

namespace {

// Loaded once per process and shared by every context: an attempt does not
// parse the whole bundle again.
X509_STORE* SystemTrust() {
    static X509_STORE* const store = [] {
        X509_STORE* s = X509_STORE_new();
        if (s != nullptr && X509_STORE_set_default_paths(s) != 1) {
            X509_STORE_free(s);
            s = nullptr;
        }
        return s;
    }();
    return store;
}

}  // namespace

bool PrepareTrust(SSL_CTX* context) {
    X509_STORE* store = SystemTrust();
    if (store == nullptr) return false;
    SSL_CTX_set1_cert_store(context, store);
    return true;
}

bool PlatformTrustsChain(X509_STORE_CTX* chain) {
    return X509_verify_cert(chain) == 1;
}
