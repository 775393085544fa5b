// Whose certificate a server shows.
#include <gtest/gtest.h>

#include <openssl/x509v3.h>

#include "net/tls.h"

namespace {

// A certificate with a subject common name and, unless null, subjectAltName
// entries ("DNS:a.example,IP:192.0.2.1"); only its names matter here.
X509* Certificate(const char* commonName, const char* altNames) {
    X509* c = X509_new();
    X509_NAME_add_entry_by_txt(X509_get_subject_name(c), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    if (altNames != nullptr) {
        X509_EXTENSION* e = X509V3_EXT_conf_nid(nullptr, nullptr, NID_subject_alt_name, altNames);
        X509_add_ext(c, e, -1);
        X509_EXTENSION_free(e);
    }
    return c;
}

}  // namespace

TEST(ServerName, WhichCertificateIsForWhichServer) {
    struct Row { const char* behaviour; const char *commonName, *altNames, *server; bool isFor; } rows[] = {
        {"name among the alt names", "other.example", "DNS:www.example.org", "www.example.org", true},
        {"whole-label wildcard", "x", "DNS:*.example.org", "www.example.org", true},
        {"wildcard covers one label only", "x", "DNS:*.example.org", "a.www.example.org", false},
        {"partial wildcard", "x", "DNS:w*.example.org", "www.example.org", false},
        {"common name without alt names", "www.example.org", nullptr, "www.example.org", false},
        {"common name beside other alt names", "www.example.org", "DNS:other.example", "www.example.org", false},
        {"address among the alt names", "x", "IP:192.0.2.10", "192.0.2.10", true},
        {"another address", "x", "IP:192.0.2.10", "192.0.2.11", false},
        {"address as a common name", "192.0.2.10", nullptr, "192.0.2.10", false},
        {"address given as a name", "x", "DNS:192.0.2.10", "192.0.2.10", false},
    };
    for (const Row& r : rows) {
        X509* c = Certificate(r.commonName, r.altNames);
        EXPECT_EQ(CertificateIsFor(c, r.server), r.isFor) << r.behaviour;
        X509_free(c);
    }
}
