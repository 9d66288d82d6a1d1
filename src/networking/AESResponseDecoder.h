#pragma once

#include <QByteArray>
#include <optional>

// Turns a response body into JSON bytes: plain JSON passes through unchanged;
// anything else is Base64 (optionally in double quotes) of an AES-CBC
// ciphertext, decrypted with the session key (IV = first 16 payload bytes) or,
// without one, with the built-in fixed key and IV. Throws ResponseCryptoError.
// Pure: safe on any thread.
namespace AESResponseDecoder {

[[nodiscard]] QByteArray decodedJSONData(const QByteArray &body, const std::optional<QByteArray> &sessionKey);

// Whether the body, trimmed of Unicode white space and line breaks, starts
// with "{" or "[" (false for invalid UTF-8).
[[nodiscard]] bool looksLikePlainJSON(const QByteArray &body);

} // namespace AESResponseDecoder
