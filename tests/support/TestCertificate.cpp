#include "support/TestCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <stdexcept>

namespace testing_tls {
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct CertFree {
    void operator()(X509* c) const { X509_free(c); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Cert = std::unique_ptr<X509, CertFree>;

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

Key newKey(bool rsa = false) {
    Key key(rsa ? EVP_RSA_gen(2048) : EVP_EC_gen("P-256"));
    check(key != nullptr, "key");
    return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    check(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// issuer/issuerKey null: self-signed.
Cert newCertificate(EVP_PKEY* key, const std::string& commonName, bool authority, X509* issuer,
                    EVP_PKEY* issuerKey, std::chrono::hours validFrom, int days) {
    Cert cert(X509_new());
    X509_set_version(cert.get(), 2);
    static std::mt19937_64 serials{std::random_device{}()};
    ASN1_INTEGER_set_int64(X509_get_serialNumber(cert.get()),
                           static_cast<std::int64_t>(serials() >> 2));
    const long from = static_cast<long>(validFrom.count()) * 3600;
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), from);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), from + static_cast<long>(days) * 86400);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    X509* signer = issuer ? issuer : cert.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
    if (authority) {
        addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(cert.get(), signer, NID_subject_alt_name,
                     ("DNS:" + commonName + ",IP:127.0.0.1").c_str());
        addExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
    }
    check(X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256()) > 0, "sign");
    return cert;
}

void write(const std::filesystem::path& path, X509* cert) {
    FILE* f = std::fopen(path.c_str(), "w");
    check(f != nullptr, "open certificate file");
    PEM_write_X509(f, cert);
    std::fclose(f);
}

void write(const std::filesystem::path& path, EVP_PKEY* key) {
    FILE* f = std::fopen(path.c_str(), "w");
    check(f != nullptr, "open key file");
    PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(f);
}

// One PEM object from path, through read (PEM_read_PrivateKey, PEM_read_X509, ...).
template <class Owned, class Read>
Owned readPem(const std::filesystem::path& path, Read read, const char* what) {
    FILE* f = std::fopen(path.c_str(), "r");
    check(f != nullptr, what);
    Owned object(read(f, nullptr, nullptr, nullptr));
    std::fclose(f);
    check(object != nullptr, what);
    return object;
}

}  // namespace

TestCertificates::TestCertificates() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vlp-tls-XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr, "directory");
    m_directory = pattern;
    m_authority = {m_directory / "ca.pem", m_directory / "ca.key"};
    Key key = newKey();
    Cert cert = newCertificate(key.get(), "Autoridade de teste", true, nullptr, nullptr,
                               std::chrono::hours(-1), 3650);
    write(m_authority.certificate, cert.get());
    write(m_authority.key, key.get());
}

TestCertificates::~TestCertificates() {
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

PemFiles TestCertificates::server(const std::string& name, std::chrono::hours validFromNow,
                                  int days) const {
    return issue(name, false, validFromNow, days);
}

PemFiles TestCertificates::rsaServer(const std::string& name) const {
    return issue(name, true, std::chrono::hours(-1), 365);
}

PemFiles TestCertificates::issue(const std::string& name, bool rsa, std::chrono::hours validFromNow,
                                 int days) const {
    static int counter = 0;
    const std::string stem = name + "-" + std::to_string(++counter);
    PemFiles files{m_directory / (stem + ".pem"), m_directory / (stem + ".key")};
    Key caKey = readPem<Key>(m_authority.key, PEM_read_PrivateKey, "authority key");
    Cert ca = readPem<Cert>(m_authority.certificate, PEM_read_X509, "authority certificate");
    Key key = newKey(rsa);
    Cert cert = newCertificate(key.get(), name, false, ca.get(), caKey.get(), validFromNow, days);
    write(files.certificate, cert.get());
    write(files.key, key.get());
    return files;
}

PemFiles TestCertificates::selfSigned(const std::string& name) const {
    static int counter = 0;
    const std::string stem = name + "-self-" + std::to_string(++counter);
    PemFiles files{m_directory / (stem + ".pem"), m_directory / (stem + ".key")};
    Key key = newKey();
    Cert cert =
        newCertificate(key.get(), name, false, nullptr, nullptr, std::chrono::hours(-1), 365);
    write(files.certificate, cert.get());
    write(files.key, key.get());
    return files;
}

}  // namespace testing_tls
