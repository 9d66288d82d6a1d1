#include "FakeCipher.h"

#include "crypto/CryptoPrimitives.h"
#include "crypto/FixedKeyMaterial.h"

#include <openssl/evp.h>

#include <limits>
#include <memory>

namespace {

struct CipherCtxDeleter {
    void operator()(EVP_CIPHER_CTX *p) const { EVP_CIPHER_CTX_free(p); }
};

} // namespace

QByteArray FakeCipher::aesCbcEncrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView plaintext)
{
    const EVP_CIPHER *cipher = key.size() == 16 ? EVP_aes_128_cbc() : key.size() == 32 ? EVP_aes_256_cbc() : nullptr;
    if (!cipher || iv.size() != 16)
        throw CryptoError(QStringLiteral("aes-cbc-encrypt"), QStringLiteral("bad key or IV length"));
    if (plaintext.size() > std::numeric_limits<int>::max() - 32)
        throw CryptoError(QStringLiteral("aes-cbc-encrypt"), QStringLiteral("input too large"));

    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxDeleter> ctx(EVP_CIPHER_CTX_new());
    if (!ctx
        || EVP_EncryptInit_ex2(ctx.get(), cipher, reinterpret_cast<const unsigned char *>(key.data()),
                               reinterpret_cast<const unsigned char *>(iv.data()), nullptr)
            != 1)
        throw CryptoError(QStringLiteral("aes-cbc-encrypt"), QStringLiteral("init failed"));

    QByteArray out(plaintext.size() + 16, Qt::Uninitialized);
    int written = 0;
    int tail = 0;
    auto *outBytes = reinterpret_cast<unsigned char *>(out.data());
    if (EVP_EncryptUpdate(ctx.get(), outBytes, &written, reinterpret_cast<const unsigned char *>(plaintext.data()),
                          int(plaintext.size()))
            != 1
        || EVP_EncryptFinal_ex(ctx.get(), outBytes + written, &tail) != 1)
        throw CryptoError(QStringLiteral("aes-cbc-encrypt"), QStringLiteral("encryption failed"));
    out.truncate(written + tail);
    return out;
}

QByteArray FakeCipher::encryptForSession(QByteArrayView sessionKey, QByteArrayView plaintext)
{
    const QByteArray iv = CryptoPrimitives::randomBytes(16);
    return iv + aesCbcEncrypt(sessionKey, iv, plaintext);
}

QByteArray FakeCipher::encryptFixed(QByteArrayView plaintext)
{
    return aesCbcEncrypt(FixedKeyMaterial::key(), FixedKeyMaterial::initializationVector(), plaintext);
}

FakeCipher::Agreement FakeCipher::agree(QByteArrayView clientPublicKey, const QString &sessionId)
{
    const P256KeyPair serverKey = P256KeyPair::generate();
    const QByteArray secret = serverKey.sharedSecret(clientPublicKey);
    Agreement agreement;
    agreement.serverPublicKey = serverKey.publicKeyX963();
    agreement.aesKey = CryptoPrimitives::hkdfSha256(secret, sessionId.toUtf8(), QByteArrayView(sessionKeyLabel), 32);
    return agreement;
}
