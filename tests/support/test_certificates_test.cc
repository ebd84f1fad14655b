// The test certificates as the two TLS libraries involved judge them: OpenSSL
// (the stand-in's side) and GnuTLS (what the FreeTDS client verifies with).
#include "test_certificates.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>
#include <gtest/gtest.h>
#include <openssl/pem.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>

#include "openssl_ptr.h"
#include "temp_dir.h"

namespace standin_test {
namespace {

struct Made {
  TempDir dir;
  TestCertificates files = MakeTestCertificates(dir.path());
};

// Made once: four RSA keys and more take a while, and no case changes them.
const TestCertificates& Files() {
  static const Made made;
  return made.files;
}

X509Ptr ReadCertificate(const std::filesystem::path& path) {
  BioPtr file(BIO_new_file(path.string().c_str(), "r"));
  if (!file) throw std::runtime_error("cannot open " + path.string());
  X509Ptr certificate(PEM_read_bio_X509(file.get(), nullptr, nullptr, nullptr));
  if (!certificate) throw std::runtime_error("no certificate in " + path.string());
  return certificate;
}

PrivateKeyPtr ReadKey(const std::filesystem::path& path) {
  BioPtr file(BIO_new_file(path.string().c_str(), "r"));
  if (!file) throw std::runtime_error("cannot open " + path.string());
  PrivateKeyPtr key(PEM_read_bio_PrivateKey(file.get(), nullptr, nullptr, nullptr));
  if (!key) throw std::runtime_error("no key in " + path.string());
  return key;
}

// OpenSSL's verdict on `certificate` for a TLS server, trusting only the
// authority, with RFC 5280's stricter checks on.
int OpenSslVerifyError(X509* certificate) {
  X509StorePtr store(X509_STORE_new());
  X509Ptr authority = ReadCertificate(Files().authority);
  X509_STORE_add_cert(store.get(), authority.get());
  X509_STORE_set_flags(store.get(), X509_V_FLAG_X509_STRICT);
  X509StoreCtxPtr context(X509_STORE_CTX_new());
  if (X509_STORE_CTX_init(context.get(), store.get(), certificate, nullptr) != 1) {
    throw std::runtime_error("X509_STORE_CTX_init failed");
  }
  X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SSL_SERVER);
  X509_verify_cert(context.get());
  return X509_STORE_CTX_get_error(context.get());
}

struct CertificateCase {
  const char* name;
  CertificateFiles TestCertificates::*files;
  int openssl_error;        // X509_V_OK when the chain holds
  unsigned gnutls_status;   // gnutls_certificate_status_t bits; 0 when trusted
  bool names_local_server;  // localhost and 127.0.0.1
};

void PrintTo(const CertificateCase& c, std::ostream* os) {
  *os << c.name;
}

const CertificateCase kCases[] = {
    {"SignedByAuthority", &TestCertificates::signed_by_authority, X509_V_OK, 0, true},
    {"SelfSigned", &TestCertificates::self_signed, X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT,
     GNUTLS_CERT_INVALID | GNUTLS_CERT_SIGNER_NOT_FOUND, true},
    {"OtherHost", &TestCertificates::other_host, X509_V_OK, 0, false},
    {"Expired", &TestCertificates::expired, X509_V_ERR_CERT_HAS_EXPIRED,
     GNUTLS_CERT_INVALID | GNUTLS_CERT_EXPIRED, true},
};

class TestCertificateTest : public ::testing::TestWithParam<CertificateCase> {
 protected:
  const CertificateFiles& files() const { return Files().*GetParam().files; }
};

TEST_P(TestCertificateTest, OpenSslJudgesTheChainAndNames) {
  X509Ptr certificate = ReadCertificate(files().certificate);
  const int error = OpenSslVerifyError(certificate.get());
  EXPECT_EQ(error, GetParam().openssl_error) << X509_verify_cert_error_string(error);
  const bool local = GetParam().names_local_server;
  EXPECT_EQ(X509_check_host(certificate.get(), "localhost", 0, 0, nullptr) == 1, local);
  EXPECT_EQ(X509_check_ip_asc(certificate.get(), "127.0.0.1", 0) == 1, local);
}

TEST_P(TestCertificateTest, KeyBelongsToTheCertificate) {
  X509Ptr certificate = ReadCertificate(files().certificate);
  PrivateKeyPtr key = ReadKey(files().key);
  EXPECT_EQ(X509_check_private_key(certificate.get(), key.get()), 1);
}

template <typename Handle, auto Free>
using GnutlsPtr = std::unique_ptr<std::remove_pointer_t<Handle>, OpenSslFree<Free>>;
using GnutlsCertificatePtr = GnutlsPtr<gnutls_x509_crt_t, gnutls_x509_crt_deinit>;
using GnutlsCredentialsPtr =
    GnutlsPtr<gnutls_certificate_credentials_t, gnutls_certificate_free_credentials>;
void FreeTrustList(gnutls_x509_trust_list_t list) {
  gnutls_x509_trust_list_deinit(list, 1);
}
using GnutlsTrustListPtr = GnutlsPtr<gnutls_x509_trust_list_t, FreeTrustList>;

GnutlsCertificatePtr GnutlsReadCertificate(const std::filesystem::path& path) {
  struct LoadedFile {
    gnutls_datum_t data{};
    ~LoadedFile() { gnutls_free(data.data); }
  } pem;
  if (gnutls_load_file(path.string().c_str(), &pem.data) < 0) {
    throw std::runtime_error("cannot read " + path.string());
  }
  gnutls_x509_crt_t raw = nullptr;
  gnutls_x509_crt_init(&raw);
  GnutlsCertificatePtr certificate(raw);
  if (gnutls_x509_crt_import(raw, &pem.data, GNUTLS_X509_FMT_PEM) < 0) {
    throw std::runtime_error("GnuTLS cannot read the certificate in " + path.string());
  }
  return certificate;
}

TEST_P(TestCertificateTest, GnuTlsJudgesTheChainAndNamesAsTheClientWill) {
  gnutls_x509_trust_list_t raw_list = nullptr;
  ASSERT_EQ(gnutls_x509_trust_list_init(&raw_list, 0), 0);
  GnutlsTrustListPtr trust(raw_list);
  ASSERT_EQ(gnutls_x509_trust_list_add_trust_file(raw_list, Files().authority.string().c_str(),
                                                  nullptr, GNUTLS_X509_FMT_PEM, 0, 0),
            1);
  GnutlsCertificatePtr certificate = GnutlsReadCertificate(files().certificate);
  gnutls_x509_crt_t chain[] = {certificate.get()};
  unsigned status = 0;
  ASSERT_EQ(gnutls_x509_trust_list_verify_crt(raw_list, chain, 1, 0, &status, nullptr), 0);
  EXPECT_EQ(status, GetParam().gnutls_status);
  const bool local = GetParam().names_local_server;
  EXPECT_EQ(gnutls_x509_crt_check_hostname(certificate.get(), "localhost") != 0, local);
  EXPECT_EQ(gnutls_x509_crt_check_hostname(certificate.get(), "127.0.0.1") != 0, local);
}

TEST_P(TestCertificateTest, GnuTlsLoadsTheCertificateWithItsKey) {
  gnutls_certificate_credentials_t raw = nullptr;
  ASSERT_EQ(gnutls_certificate_allocate_credentials(&raw), 0);
  GnutlsCredentialsPtr credentials(raw);
  EXPECT_EQ(gnutls_certificate_set_x509_key_file(raw, files().certificate.string().c_str(),
                                                 files().key.string().c_str(), GNUTLS_X509_FMT_PEM),
            0);
}

INSTANTIATE_TEST_SUITE_P(Certificates, TestCertificateTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TestAuthorityTest, IsACertificateAuthorityThatSignsCertificates) {
  X509Ptr authority = ReadCertificate(Files().authority);
  EXPECT_EQ(X509_check_ca(authority.get()), 1);
  EXPECT_TRUE(X509_get_key_usage(authority.get()) & KU_KEY_CERT_SIGN);
  EXPECT_EQ(X509_check_issued(authority.get(), authority.get()), X509_V_OK);
}

// A client that met two certificates with one issuer and serial could take
// them for the same.
TEST(TestAuthorityTest, SerialNumbersAreDistinct) {
  std::set<long> serials;
  const std::filesystem::path paths[] = {
      Files().authority, Files().signed_by_authority.certificate, Files().self_signed.certificate,
      Files().other_host.certificate, Files().expired.certificate};
  for (const auto& path : paths) {
    serials.insert(ASN1_INTEGER_get(X509_get_serialNumber(ReadCertificate(path).get())));
  }
  EXPECT_EQ(serials.size(), std::size(paths));
}

}  // namespace
}  // namespace standin_test
