#include "AESResponseDecoder.h"

#include "ResponseCryptoError.h"
#include "crypto/AesCbc.h"
#include "crypto/CryptoPrimitives.h"
#include "crypto/FixedKeyMaterial.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstring>

namespace {

constexpr qsizetype ivLength = 16;
constexpr qsizetype sessionKeyLength = 32;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        // Bodies are mostly ASCII Base64; skip it eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, p, sizeof chunk);
            if (chunk & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        char32_t min;
        char32_t cp;
        if ((c & 0xe0) == 0xc0) {
            extra = 1;
            min = 0x80;
            cp = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2;
            min = 0x800;
            cp = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            extra = 3;
            min = 0x10000;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3f);
        }
        if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
            return false;
        p += extra + 1;
    }
    return true;
}

// Unicode white space and line breaks.
bool isWhitespaceOrNewline(char32_t c)
{
    return (c >= 0x09 && c <= 0x0d) || c == 0x20 || c == 0x85 || c == 0xa0 || c == 0x1680
           || (c >= 0x2000 && c <= 0x200a) || c == 0x2028 || c == 0x2029 || c == 0x202f || c == 0x205f
           || c == 0x3000;
}

// Decodes the code point starting at p (valid UTF-8 assumed); sets its length.
char32_t decodeAt(const unsigned char *p, int *length)
{
    const unsigned char c = p[0];
    if (c < 0x80) {
        *length = 1;
        return c;
    }
    if ((c & 0xe0) == 0xc0) {
        *length = 2;
        return char32_t(c & 0x1f) << 6 | (p[1] & 0x3f);
    }
    if ((c & 0xf0) == 0xe0) {
        *length = 3;
        return char32_t(c & 0x0f) << 12 | char32_t(p[1] & 0x3f) << 6 | (p[2] & 0x3f);
    }
    *length = 4;
    return char32_t(c & 0x07) << 18 | char32_t(p[1] & 0x3f) << 12 | char32_t(p[2] & 0x3f) << 6 | (p[3] & 0x3f);
}

// The body without leading and trailing white space; valid UTF-8 assumed.
QByteArrayView trimmed(QByteArrayView text)
{
    const auto *begin = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = begin + text.size();
    while (begin < end) {
        int length = 0;
        if (!isWhitespaceOrNewline(decodeAt(begin, &length)))
            break;
        begin += length;
    }
    while (end > begin) {
        const unsigned char *start = end - 1;
        while (start > begin && (*start & 0xc0) == 0x80)
            --start;
        int length = 0;
        if (!isWhitespaceOrNewline(decodeAt(start, &length)))
            break;
        end = start;
    }
    return QByteArrayView(reinterpret_cast<const char *>(begin), end - begin);
}

bool startsAsJSON(QByteArrayView trimmedText)
{
    return !trimmedText.isEmpty() && (trimmedText.front() == '{' || trimmedText.front() == '[');
}

} // namespace

bool AESResponseDecoder::looksLikePlainJSON(const QByteArray &body)
{
    return isValidUtf8(body) && startsAsJSON(trimmed(body));
}

QByteArray AESResponseDecoder::decodedJSONData(const QByteArray &body, const std::optional<QByteArray> &sessionKey)
{
    if (!isValidUtf8(body))
        throw ResponseCryptoError::invalidPayload();
    QByteArrayView text = trimmed(body);
    if (text.isEmpty())
        throw ResponseCryptoError::invalidPayload();
    if (startsAsJSON(text))
        return body;
    // A JSON string holding the Base64 text. A lone quote stays as it is; the
    // decoding below fails it.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.sliced(1, text.size() - 2);

    const std::optional<QByteArray> payload = CryptoPrimitives::base64DecodeSkippingUnknown(text);
    if (!payload)
        throw ResponseCryptoError::invalidPayload();

    QByteArray key;
    QByteArray iv;
    QByteArrayView ciphertext;
    if (sessionKey) {
        if (sessionKey->size() != sessionKeyLength)
            throw ResponseCryptoError::invalidConfiguration();
        if (payload->size() <= ivLength)
            throw ResponseCryptoError::invalidConfiguration();
        key = *sessionKey;
        iv = payload->first(ivLength);
        ciphertext = QByteArrayView(*payload).sliced(ivLength);
    } else {
        key = FixedKeyMaterial::key();
        iv = FixedKeyMaterial::initializationVector();
        ciphertext = *payload;
    }
    if ((key.size() != 16 && key.size() != 32) || iv.size() != ivLength)
        throw ResponseCryptoError::invalidConfiguration();

    QByteArray out(ciphertext.size() + 16, '\0');
    size_t moved = 0;
    const std::int32_t status = vadr_aes_cbc_decrypt(ciphertext.data(), size_t(ciphertext.size()), key.constData(),
                                                     size_t(key.size()), iv.constData(), out.data(),
                                                     size_t(out.size()), &moved);
    if (status != 0)
        throw ResponseCryptoError::decryptionFailed(status);
    out.truncate(qsizetype(moved));
    return out;
}
