#pragma once

#include <QByteArray>

#include <openssl/evp.h>

// The service side of response encryption, for building test inputs: AES-CBC
// with PKCS#7 padding; key length 16 or 32 selects AES-128 or AES-256.
inline QByteArray testAesCbcEncrypt(const QByteArray &plain, const QByteArray &key, const QByteArray &iv)
{
    const EVP_CIPHER *cipher = key.size() == 32 ? EVP_aes_256_cbc() : EVP_aes_128_cbc();
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    QByteArray out(plain.size() + 16, '\0');
    int len = 0;
    int total = 0;
    EVP_EncryptInit_ex(ctx, cipher, nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
                       reinterpret_cast<const unsigned char *>(iv.constData()));
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &len,
                      reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size()));
    total = len;
    EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char *>(out.data()) + total, &len);
    total += len;
    EVP_CIPHER_CTX_free(ctx);
    out.truncate(total);
    return out;
}
