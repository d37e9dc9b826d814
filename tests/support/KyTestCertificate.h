// A self-signed certificate for 127.0.0.1 and its key, made for a test.
#pragma once

#include "support/KyProcess.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace kytest {

/// A self-signed certificate for 127.0.0.1 and its key, in PEM files.
class TestCertificate {
public:
  TestCertificate() {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    X509* x509 = certificate.get();
    X509_set_version(x509, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x509), 1);
    X509_gmtime_adj(X509_getm_notBefore(x509), -60);
    X509_gmtime_adj(X509_getm_notAfter(x509), 3600);
    X509_set_pubkey(x509, key.get());
    X509_NAME* name = X509_get_subject_name(x509);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(x509, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, x509, x509, nullptr, nullptr, 0);
    for (const auto& [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                     std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
      X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
      X509_add_ext(x509, extension, -1);
      X509_EXTENSION_free(extension);
    }
    X509_sign(x509, key.get(), EVP_sha256());
    std::FILE* out = std::fopen(certificate_.path().c_str(), "w");
    PEM_write_X509(out, x509);
    std::fclose(out);
    out = std::fopen(key_.path().c_str(), "w");
    PEM_write_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(out);
  }
  const std::string& certificate() const { return certificate_.path(); }
  const std::string& key() const { return key_.path(); }

private:
  TempFile certificate_{"", ".pem"};
  TempFile key_{"", ".pem"};
};

} // namespace kytest
