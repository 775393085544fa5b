// TLS exchange over OpenSSL's client API.
#include "net/tls.h"

#include <openssl/bio.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstring>

#include "net/transport.h"
#include "net/trust.h"

namespace {

bool StartLibrary() {
    // A Windows build's configuration folder is a fixed path another user
    // could create files in; what the program needs is all built in.
    return OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
}

// Every read of the connection, handshake included, counts against the
// exchange's deadline: a server trickling its records cannot hold us.
long ArmEachRead(BIO*, int operation, const char*, std::size_t, int, long, int result, std::size_t*) {
    if (operation == BIO_CB_READ && !ArmReceive(ActiveSocket)) return -1;
    return result;
}

struct ServerCheck {
    const char* name;
    bool refused;
};

// Runs in the handshake, before anything of ours is written: a refusal
// ends the handshake there. The name first: it costs nothing, and a
// certificate for another name then sets off no fetch by the chain engine.
int JudgeServer(X509_STORE_CTX* chain, void* argument) {
    ServerCheck* check = static_cast<ServerCheck*>(argument);
    check->refused = !CertificateIsFor(X509_STORE_CTX_get0_cert(chain), check->name) || !PlatformTrustsChain(chain);
    if (check->refused && X509_STORE_CTX_get_error(chain) == X509_V_OK)
        X509_STORE_CTX_set_error(chain, X509_V_ERR_CERT_REJECTED);
    return check->refused ? 0 : 1;
}

}  // namespace

bool (*TlsLibraryStartup)() = StartLibrary;

// The library's own start-up runs once and answers the same afterwards.
bool TlsStartup() {
    return TlsLibraryStartup();
}

bool CertificateIsFor(X509* certificate, const char* serverName) {
    if (certificate == nullptr || serverName == nullptr || serverName[0] == '\0') return false;
    // -2: not an address at all, so a name.
    int address = X509_check_ip_asc(certificate, serverName, 0);
    if (address != -2) return address == 1;
    // A wildcard stands for a whole label only (w*.example.org matches
    // nothing), and only the subjectAltName names count, as browsers have it.
    return X509_check_host(certificate, serverName, 0,
                           X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS | X509_CHECK_FLAG_NEVER_CHECK_SUBJECT, nullptr) == 1;
}

ExchangeOutcome TlsExchange(const std::string& request, std::string& reply, const char* serverName, bool sendName) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    ServerCheck check{serverName, false};
    SSL* ssl = nullptr;
    if (ctx != nullptr && PrepareTrust(ctx)) {
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_cert_verify_callback(ctx, JudgeServer, &check);
        ssl = SSL_new(ctx);
    }

    if (ssl != nullptr) {
        SSL_set_fd(ssl, static_cast<int>(ActiveSocket));
        BIO_set_callback_ex(SSL_get_rbio(ssl), ArmEachRead);
        if (sendName) SSL_set_tlsext_host_name(ssl, serverName);
        SSL_set_connect_state(ssl);
        if (SSL_connect(ssl) == 1 && SSL_write(ssl, request.data(), static_cast<int>(request.size())) > 0) {
            reply.clear();
            char unit[1025];
            for (;;) {
                std::memset(unit, 0, sizeof unit);
                int n = SSL_read(ssl, unit, 1024);
                if (n == 0 || n == -1) break;
                if (n < 0) break;  // any other failure ends the reading too
                if (!AppendBounded(reply, unit, std::strlen(unit))) break;
            }
        }
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    SSL_CTX_free(ctx);
    return check.refused ? ExchangeOutcome::CertificateRefused : ExchangeOutcome::Reply;
}
