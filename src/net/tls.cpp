// TLS exchange over OpenSSL's client API.
#include "net/tls.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstring>

#include "net/transport.h"
#include "sync/exchange.h"
#include "util/text.h"

int TlsExchange(const wchar_t* request, std::string& reply) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    SSL* ssl = ctx != nullptr ? SSL_new(ctx) : nullptr;
    int result = -1;

    if (ssl != nullptr) {
        SSL_set_fd(ssl, static_cast<int>(ActiveSocket));
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

const char* TlsBuildVersionText() {
    return OPENSSL_VERSION_TEXT;
}

const char* TlsRuntimeVersionText() {
    return OpenSSL_version(OPENSSL_VERSION);
}
