// Owning pointers for the OpenSSL objects tests make and read, each freed by
// its own OpenSSL function.
#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace standin_test {

template <auto Free>
struct OpenSslFree {
  template <typename T>
  void operator()(T* p) const {
    Free(p);
  }
};

using PrivateKeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, OpenSslFree<X509_free>>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSslFree<X509_STORE_free>>;
using X509StoreCtxPtr = std::unique_ptr<X509_STORE_CTX, OpenSslFree<X509_STORE_CTX_free>>;
using X509ExtensionPtr = std::unique_ptr<X509_EXTENSION, OpenSslFree<X509_EXTENSION_free>>;
using BioPtr = std::unique_ptr<BIO, OpenSslFree<BIO_free_all>>;

}  // namespace standin_test
