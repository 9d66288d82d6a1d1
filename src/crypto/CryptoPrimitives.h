#pragma once

#include "platform/VuzoError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>

// Thin C++ layer over OpenSSL 3 for what the session-key handshake and the
// response decryption need: P-256 key agreement with X9.63 public keys,
// HKDF-SHA256, and the two Base64 decoders of the protocol. Everything here is
// pure and may run on any thread.

// A failure inside the cryptographic library (bad point, failed derivation).
class CryptoError : public VuzoError
{
public:
    explicit CryptoError(QString operation, QString detail = {});
    [[nodiscard]] QString localizedDescription() const override;
    [[nodiscard]] QString operation() const { return m_operation; }
    [[nodiscard]] QString detail() const { return m_detail; }

private:
    QString m_operation;
    QString m_detail;
};

// An ephemeral P-256 key-agreement key pair.
class P256KeyPair
{
public:
    // A fresh random key pair. Throws CryptoError.
    [[nodiscard]] static P256KeyPair generate();
    // The key pair of a given 32-byte big-endian private scalar, for checks
    // against published vectors. Throws CryptoError for a scalar that is not
    // 32 bytes or not in 1 ... n-1.
    [[nodiscard]] static P256KeyPair fromPrivateKey(QByteArrayView scalar);

    P256KeyPair(P256KeyPair &&other) noexcept;
    P256KeyPair &operator=(P256KeyPair &&other) noexcept;
    P256KeyPair(const P256KeyPair &) = delete;
    P256KeyPair &operator=(const P256KeyPair &) = delete;
    ~P256KeyPair();

    // The public key in uncompressed X9.63 form: 0x04, X (32 bytes), Y (32 bytes).
    [[nodiscard]] QByteArray publicKeyX963() const;

    // The raw ECDH shared secret (the 32-byte X coordinate) with a peer's
    // public key in uncompressed X9.63 form. Throws CryptoError when the peer
    // key is malformed or its point is not on the curve.
    [[nodiscard]] QByteArray sharedSecret(QByteArrayView peerPublicKeyX963) const;

private:
    struct Private;
    explicit P256KeyPair(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

namespace CryptoPrimitives {

inline constexpr int p256PublicKeyLength = 65;

// True when the bytes are a 65-byte uncompressed X9.63 point on P-256.
[[nodiscard]] bool isValidP256PublicKey(QByteArrayView publicKeyX963);

// HKDF (RFC 5869) with SHA-256. Throws CryptoError for an output length
// outside 1...8160 or a library failure.
[[nodiscard]] QByteArray hkdfSha256(QByteArrayView inputKeyMaterial, QByteArrayView salt, QByteArrayView info,
                                    int outputLength);

// Cryptographically random bytes. Throws CryptoError.
[[nodiscard]] QByteArray randomBytes(int count);

// Standard Base64 (RFC 4648 alphabet "A-Za-z0-9+/", "=" padding required so
// that the length is a multiple of 4). The strict form rejects every character
// outside the alphabet, white space included; the skipping form ignores such
// characters (line breaks, spaces, stray punctuation) and then applies the
// same rules to what remains. Both reject padding that is not at the end or is
// longer than two characters. Empty input decodes to empty output.
[[nodiscard]] std::optional<QByteArray> base64DecodeStrict(QByteArrayView text);
[[nodiscard]] std::optional<QByteArray> base64DecodeSkippingUnknown(QByteArrayView text);

} // namespace CryptoPrimitives
