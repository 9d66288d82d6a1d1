#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The service side of the response encryption: AES-CBC with PKCS#7 padding and
// the session key agreement. Throws CryptoError (src/crypto) on library failure.
namespace FakeCipher {

// Key of 16 or 32 bytes (AES-128/256), IV of 16 bytes.
[[nodiscard]] QByteArray aesCbcEncrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView plaintext);

// Session mode: a fresh random IV followed by the ciphertext.
[[nodiscard]] QByteArray encryptForSession(QByteArrayView sessionKey, QByteArrayView plaintext);

// Fixed mode: the built-in key and IV shared with the client; the whole payload is ciphertext.
[[nodiscard]] QByteArray encryptFixed(QByteArrayView plaintext);

inline constexpr char sessionKeyLabel[] = "quiz-svc-key-v1";

struct Agreement
{
    QByteArray serverPublicKey; // 65-byte uncompressed X9.63
    QByteArray aesKey; // 32 bytes
};

// The service's half of the handshake: its own fresh P-256 key, ECDH with the
// client's key, HKDF-SHA256 salted with the session id. Throws CryptoError for
// a client key that is not a point on the curve.
[[nodiscard]] Agreement agree(QByteArrayView clientPublicKey, const QString &sessionId);

} // namespace FakeCipher
