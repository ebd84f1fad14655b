#include "test_certificates.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <stdexcept>
#include <string>

#include "openssl_ptr.h"

namespace standin_test {
namespace {

// OpenSSL reports failures on its thread's error queue; the oldest entry is
// the cause.
[[noreturn]] void ThrowOpenSslError(const std::string& what) {
  std::string reason = what;
  if (unsigned long code = ERR_get_error(); code != 0) {
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    reason += ": ";
    reason += text;
  }
  ERR_clear_error();
  throw std::runtime_error(reason);
}

void Check(int ok, const std::string& what) {
  if (ok != 1) ThrowOpenSslError(what);
}

// RSA 2048 is what every TLS client, old GnuTLS builds included, accepts.
PrivateKeyPtr MakeKey() {
  PrivateKeyPtr key(EVP_RSA_gen(2048));
  if (!key) ThrowOpenSslError("generating an RSA key");
  return key;
}

// Validity in days from now; negative is in the past.
struct Validity {
  long from_days;
  long until_days;
};

struct Subject {
  const char* common_name;
  const char* alt_names;  // subjectAltName's value as the openssl config writes it
};

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509ExtensionPtr extension(X509V3_EXT_nconf_nid(nullptr, &context, nid, value));
  if (!extension) ThrowOpenSslError(std::string("making extension ") + OBJ_nid2sn(nid));
  Check(X509_add_ext(certificate, extension.get(), -1), "adding an extension");
}

// A v3 certificate for `key` with `subject`, issued by `issuer` (signed with
// `issuer_key`), or self-issued when `issuer` is null.
X509Ptr MakeCertificate(const Subject& subject, const EVP_PKEY* key, long serial, Validity validity,
                        X509* issuer, EVP_PKEY* issuer_key, bool authority) {
  X509Ptr certificate(X509_new());
  if (!certificate) ThrowOpenSslError("allocating a certificate");
  X509* cert = certificate.get();
  Check(X509_set_version(cert, X509_VERSION_3), "setting the version");
  Check(ASN1_INTEGER_set(X509_get_serialNumber(cert), serial), "setting the serial number");
  if (!X509_time_adj_ex(X509_getm_notBefore(cert), validity.from_days, 0, nullptr) ||
      !X509_time_adj_ex(X509_getm_notAfter(cert), validity.until_days, 0, nullptr)) {
    ThrowOpenSslError("setting the validity");
  }
  Check(X509_set_pubkey(cert, const_cast<EVP_PKEY*>(key)), "setting the public key");
  X509_NAME* name = X509_get_subject_name(cert);
  Check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(subject.common_name), -1,
                                   -1, 0),
        "setting the common name");
  X509* signer = issuer != nullptr ? issuer : cert;
  Check(X509_set_issuer_name(cert, X509_get_subject_name(signer)), "setting the issuer");

  AddExtension(cert, signer, NID_subject_key_identifier, "hash");
  AddExtension(cert, signer, NID_authority_key_identifier, "keyid:always");
  if (authority) {
    AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert, signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert, signer, NID_subject_alt_name, subject.alt_names);
  }
  EVP_PKEY* signing_key = issuer_key != nullptr ? issuer_key : const_cast<EVP_PKEY*>(key);
  if (X509_sign(cert, signing_key, EVP_sha256()) == 0) ThrowOpenSslError("signing a certificate");
  return certificate;
}

BioPtr OpenForWriting(const std::filesystem::path& path) {
  BioPtr file(BIO_new_file(path.string().c_str(), "w"));
  if (!file) ThrowOpenSslError("creating " + path.string());
  return file;
}

void WriteCertificate(X509* certificate, const std::filesystem::path& path) {
  BioPtr file = OpenForWriting(path);
  Check(PEM_write_bio_X509(file.get(), certificate), "writing " + path.string());
}

void WriteKey(EVP_PKEY* key, const std::filesystem::path& path) {
  BioPtr file = OpenForWriting(path);
  Check(PEM_write_bio_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr),
        "writing " + path.string());
}

constexpr Subject kLocalServer{"localhost", "DNS:localhost,IP:127.0.0.1"};
constexpr Subject kOtherHost{"db.other-county.example", "DNS:db.other-county.example"};
constexpr Validity kCurrent{-1, 365};
// The authority outlasts every certificate it signs, the expired one included,
// so only a leaf's own dates can fail it.
constexpr Validity kAuthorityValidity{-3 * 365, 2 * 365};

}  // namespace

TestCertificates MakeTestCertificates(const std::filesystem::path& dir) {
  PrivateKeyPtr authority_key = MakeKey();
  X509Ptr authority = MakeCertificate({"Standin Test Authority", nullptr}, authority_key.get(), 1,
                                      kAuthorityValidity, nullptr, nullptr, /*authority=*/true);
  TestCertificates files;
  files.authority = dir / "authority.crt";
  WriteCertificate(authority.get(), files.authority);

  struct Leaf {
    const char* file_stem;
    Subject subject;
    Validity validity;
    bool by_authority;
    CertificateFiles TestCertificates::*files;
  };
  const Leaf leaves[] = {
      {"signed", kLocalServer, kCurrent, true, &TestCertificates::signed_by_authority},
      {"self-signed", kLocalServer, kCurrent, false, &TestCertificates::self_signed},
      {"other-host", kOtherHost, kCurrent, true, &TestCertificates::other_host},
      {"expired", kLocalServer, {-2 * 365, -365}, true, &TestCertificates::expired},
  };
  long serial = 2;
  for (const Leaf& leaf : leaves) {
    PrivateKeyPtr key = MakeKey();
    X509Ptr certificate =
        MakeCertificate(leaf.subject, key.get(), serial++, leaf.validity,
                        leaf.by_authority ? authority.get() : nullptr,
                        leaf.by_authority ? authority_key.get() : nullptr, /*authority=*/false);
    CertificateFiles& out = files.*leaf.files;
    out.certificate = dir / (std::string(leaf.file_stem) + ".crt");
    out.key = dir / (std::string(leaf.file_stem) + ".key");
    WriteCertificate(certificate.get(), out.certificate);
    WriteKey(key.get(), out.key);
  }
  return files;
}

}  // namespace standin_test
