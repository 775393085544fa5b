// TLS exchange over OpenSSL's client API.
#include "net/tls.h"

#include <openssl/bio.h>
#include <openssl/ssl.h>

#include <cstring>

#include "net/transport.h"
#include "util/text.h"

namespace {

// Every read of the connection, handshake included, counts against the
// exchange's deadline: a server trickling its records cannot hold us.
long ArmEachRead(BIO*, int operation, const char*, std::size_t, int, long, int result, std::size_t*) {
    if (operation == BIO_CB_READ && !ArmReceive(ActiveSocket)) return -1;
    return result;
}

}  // namespace

bool TlsStartup() {
    // A Windows build's configuration folder is a fixed path another user
    // could create files in; what the program needs is all built in.
    return OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
}

int TlsExchange(const wchar_t* request, std::string& reply, const char* serverName) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    SSL* ssl = ctx != nullptr ? SSL_new(ctx) : nullptr;
    int result = -1;

    if (ssl != nullptr) {
        SSL_set_fd(ssl, static_cast<int>(ActiveSocket));
        BIO_set_callback_ex(SSL_get_rbio(ssl), ArmEachRead);
        if (serverName != nullptr) SSL_set_tlsext_host_name(ssl, serverName);
        SSL_set_connect_state(ssl);
        if (SSL_connect(ssl) == 1) {
            char narrow[1025] = {};
            WideToAnsi(narrow, request, 1024);
            if (SSL_write(ssl, narrow, static_cast<int>(std::strlen(narrow))) > 0) {
                reply.clear();
                char unit[1025];
                for (;;) {
                    std::memset(unit, 0, sizeof unit);
                    int n = SSL_read(ssl, unit, 1024);
                    if (n == 0 || n == -1) break;
                    if (n < 0) break;  // any other failure ends the reading too
                    if (!AppendBounded(reply, unit, std::strlen(unit))) break;
                }
                result = 0;
            }
        }
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    SSL_CTX_free(ctx);
    return result;
}
