// Certificates for tests of encrypted connections: a private authority and
// server certificates, good and bad, written as PEM files. Each call makes a
// new authority and new RSA 2048 keys.
#pragma once

#include <filesystem>

namespace standin_test {

struct CertificateFiles {
  std::filesystem::path certificate;  // PEM certificate
  std::filesystem::path key;          // PEM private key (PKCS #8, unencrypted)
};

struct TestCertificates {
  // The authority's certificate: the file a client is told to trust.
  std::filesystem::path authority;
  // For DNS localhost and IP 127.0.0.1 (CN localhost), from a day ago for a year.
  CertificateFiles signed_by_authority;
  // The same names and dates, signed by its own key.
  CertificateFiles self_signed;
  // Signed by the authority, but for db.other-county.example only.
  CertificateFiles other_host;
  // Signed by the authority for localhost and 127.0.0.1, valid from two years
  // ago until one year ago.
  CertificateFiles expired;
};

// Writes the authority's certificate and every server certificate with its key
// into `dir`, which must exist. Throws std::runtime_error with OpenSSL's reason.
TestCertificates MakeTestCertificates(const std::filesystem::path& dir);

}  // namespace standin_test
