#pragma once
// Certificates for TLS tests, made on the fly: a certificate authority and server certificates
// it signs (or self-signed ones) for "localhost" and 127.0.0.1, written as PEM files into a
// directory of the test's own. Validity can be moved into the past to make expired ones.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace testing_tls {

struct PemFiles {
    std::filesystem::path certificate;
    std::filesystem::path key;
};

class TestCertificates {
  public:
    // Creates a fresh directory under the system's temporary directory; removed on destruction.
    TestCertificates();
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // The authority that signs server(); its certificate is what a client trusts.
    const PemFiles& authority() const { return m_authority; }
    // A server certificate signed by the authority, valid from notBefore for the given days.
    PemFiles server(const std::string& name,
                    std::chrono::hours validFromNow = std::chrono::hours(-1), int days = 365) const;
    // The same with an RSA key (the others are P-256): the only kind a TLS 1.2 suite with RSA key
    // exchange can use.
    PemFiles rsaServer(const std::string& name) const;
    // A self-signed server certificate, trusted by nobody.
    PemFiles selfSigned(const std::string& name) const;
    const std::filesystem::path& directory() const { return m_directory; }

  private:
    PemFiles issue(const std::string& name, bool rsa, std::chrono::hours validFromNow,
                   int days) const;

    std::filesystem::path m_directory;
    PemFiles m_authority;
};

}  // namespace testing_tls
