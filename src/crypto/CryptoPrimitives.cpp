#include "CryptoPrimitives.h"


#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <array>
#include <cstdint>

namespace {

// The library's most recent reason, then a clean queue for the next caller.
QString takeLibraryReason()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return {};
    std::array<char, 256> buffer {};
    ERR_error_string_n(code, buffer.data(), buffer.size());
    return QString::fromLatin1(buffer.data());
}

struct PkeyDeleter {
    void operator()(EVP_PKEY *p) const { EVP_PKEY_free(p); }
};
struct PkeyCtxDeleter {
    void operator()(EVP_PKEY_CTX *p) const { EVP_PKEY_CTX_free(p); }
};
struct KdfDeleter {
    void operator()(EVP_KDF *p) const { EVP_KDF_free(p); }
};
struct KdfCtxDeleter {
    void operator()(EVP_KDF_CTX *p) const { EVP_KDF_CTX_free(p); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyDeleter>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxDeleter>;

constexpr char curveName[] = "prime256v1";

// Builds a public P-256 key from 65 uncompressed X9.63 bytes and checks that
// the point lies on the curve. Returns null with the reason in *reason.
PkeyPtr importPublicKey(QByteArrayView x963, QString *reason)
{
    if (x963.size() != CryptoPrimitives::p256PublicKeyLength || static_cast<unsigned char>(x963.at(0)) != 0x04) {
        *reason = QStringLiteral("not an uncompressed P-256 public key");
        return nullptr;
    }
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1) {
        *reason = takeLibraryReason();
        return nullptr;
    }
    QByteArray point = x963.toByteArray();
    std::array<OSSL_PARAM, 3> params = {
        OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, const_cast<char *>(curveName), 0),
        OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point.data(), size_t(point.size())),
        OSSL_PARAM_construct_end(),
    };
    EVP_PKEY *raw = nullptr;
    if (EVP_PKEY_fromdata(ctx.get(), &raw, EVP_PKEY_PUBLIC_KEY, params.data()) != 1 || raw == nullptr) {
        *reason = takeLibraryReason();
        if (reason->isEmpty())
            *reason = QStringLiteral("point is not on the curve");
        return nullptr;
    }
    PkeyPtr key(raw);
    PkeyCtxPtr check(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    if (!check || EVP_PKEY_public_check(check.get()) != 1) {
        *reason = takeLibraryReason();
        if (reason->isEmpty())
            *reason = QStringLiteral("point is not on the curve");
        return nullptr;
    }
    return key;
}

// -1: not in the alphabet; -2: padding.
constexpr std::array<signed char, 256> makeBase64Table()
{
    std::array<signed char, 256> t {};
    for (auto &v : t)
        v = -1;
    const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    t[static_cast<unsigned char>('=')] = -2;
    return t;
}
constexpr std::array<signed char, 256> base64Table = makeBase64Table();

template<bool SkipUnknown>
std::optional<QByteArray> decodeBase64(QByteArrayView text)
{
    QByteArray out(text.size() / 4 * 3 + 3, Qt::Uninitialized);
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const auto *src = reinterpret_cast<const unsigned char *>(text.data());
    const qsizetype size = text.size();
    qsizetype written = 0;
    qsizetype i = 0;
    std::uint32_t acc = 0;
    int pending = 0; // characters in acc
    int padding = 0;

    // Whole quads of alphabet characters, the bulk of any real body.
    while (i + 4 <= size) {
        const int a = base64Table[src[i]], b = base64Table[src[i + 1]], c = base64Table[src[i + 2]],
                  d = base64Table[src[i + 3]];
        if ((a | b | c | d) < 0)
            break;
        const std::uint32_t v = (std::uint32_t(a) << 18) | (std::uint32_t(b) << 12) | (std::uint32_t(c) << 6)
                                | std::uint32_t(d);
        dst[written++] = static_cast<unsigned char>(v >> 16);
        dst[written++] = static_cast<unsigned char>(v >> 8);
        dst[written++] = static_cast<unsigned char>(v);
        i += 4;
    }
    // The rest, character by character: padding, skipped characters, tail.
    for (; i < size; ++i) {
        const int v = base64Table[src[i]];
        if (v >= 0) {
            if (padding > 0)
                return std::nullopt; // data after padding
            acc = (acc << 6) | std::uint32_t(v);
            if (++pending == 4) {
                dst[written++] = static_cast<unsigned char>(acc >> 16);
                dst[written++] = static_cast<unsigned char>(acc >> 8);
                dst[written++] = static_cast<unsigned char>(acc);
                acc = 0;
                pending = 0;
            }
        } else if (v == -2) {
            if (++padding > 2)
                return std::nullopt;
        } else if constexpr (!SkipUnknown) {
            return std::nullopt;
        }
    }
    if ((pending + padding) % 4 != 0)
        return std::nullopt;
    if (pending == 2) {
        dst[written++] = static_cast<unsigned char>(acc >> 4);
    } else if (pending == 3) {
        dst[written++] = static_cast<unsigned char>(acc >> 10);
        dst[written++] = static_cast<unsigned char>(acc >> 2);
    } else if (pending != 0 || padding != 0) {
        return std::nullopt;
    }
    out.truncate(written);
    return out;
}

} // namespace

CryptoError::CryptoError(QString operation, QString detail)
    : m_operation(std::move(operation)), m_detail(std::move(detail))
{
}

QString CryptoError::localizedDescription() const
{
    QString text = QStringLiteral("加密运算失败（%1）").arg(m_operation);
    if (!m_detail.isEmpty())
        text += QStringLiteral("：") + m_detail;
    return text;
}

struct P256KeyPair::Private {
    PkeyPtr key;
};

P256KeyPair::P256KeyPair(std::unique_ptr<Private> d) : d(std::move(d)) { }
P256KeyPair::P256KeyPair(P256KeyPair &&other) noexcept = default;
P256KeyPair &P256KeyPair::operator=(P256KeyPair &&other) noexcept = default;
P256KeyPair::~P256KeyPair() = default;

P256KeyPair P256KeyPair::generate()
{
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    if (!ctx || EVP_PKEY_keygen_init(ctx.get()) != 1)
        throw CryptoError(QStringLiteral("P-256 key generation"), takeLibraryReason());
    std::array<OSSL_PARAM, 2> params = {
        OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, const_cast<char *>(curveName), 0),
        OSSL_PARAM_construct_end(),
    };
    EVP_PKEY *raw = nullptr;
    if (EVP_PKEY_CTX_set_params(ctx.get(), params.data()) != 1 || EVP_PKEY_generate(ctx.get(), &raw) != 1
        || raw == nullptr)
        throw CryptoError(QStringLiteral("P-256 key generation"), takeLibraryReason());
    auto d = std::make_unique<Private>();
    d->key.reset(raw);
    return P256KeyPair(std::move(d));
}

P256KeyPair P256KeyPair::fromPrivateKey(QByteArrayView scalar)
{
    const QString operation = QStringLiteral("P-256 private key import");
    if (scalar.size() != 32)
        throw CryptoError(operation, QStringLiteral("not a 32-byte scalar"));
    // A SEC1 ECPrivateKey on P-256 without its public key: the library
    // computes the public point from the scalar as it reads it.
    QByteArray der = QByteArray::fromHex("30310201010420") + scalar.toByteArray()
                     + QByteArray::fromHex("a00a06082a8648ce3d030107");
    const auto *cursor = reinterpret_cast<const unsigned char *>(der.constData());
    PkeyPtr key(d2i_PrivateKey(EVP_PKEY_EC, nullptr, &cursor, long(der.size())));
    OPENSSL_cleanse(der.data(), size_t(der.size()));
    if (!key)
        throw CryptoError(operation, takeLibraryReason());
    // Rejects 0 and scalars at or past the group order.
    PkeyCtxPtr check(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    if (!check || EVP_PKEY_check(check.get()) != 1) {
        const QString reason = takeLibraryReason();
        throw CryptoError(operation, reason.isEmpty() ? QStringLiteral("scalar out of range") : reason);
    }
    auto d = std::make_unique<Private>();
    d->key = std::move(key);
    return P256KeyPair(std::move(d));
}

QByteArray P256KeyPair::publicKeyX963() const
{
    std::array<unsigned char, CryptoPrimitives::p256PublicKeyLength + 8> buffer {};
    size_t length = 0;
    // Uncompressed is the default point format of a generated EC key.
    if (EVP_PKEY_get_octet_string_param(d->key.get(), OSSL_PKEY_PARAM_PUB_KEY, buffer.data(), buffer.size(),
                                        &length)
            != 1
        || length != size_t(CryptoPrimitives::p256PublicKeyLength) || buffer[0] != 0x04)
        throw CryptoError(QStringLiteral("P-256 public key export"), takeLibraryReason());
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), qsizetype(length));
}

QByteArray P256KeyPair::sharedSecret(QByteArrayView peerPublicKeyX963) const
{
    QString reason;
    PkeyPtr peer = importPublicKey(peerPublicKeyX963, &reason);
    if (!peer)
        throw CryptoError(QStringLiteral("P-256 public key import"), reason);
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, d->key.get(), nullptr));
    size_t length = 0;
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) != 1 || EVP_PKEY_derive_set_peer_ex(ctx.get(), peer.get(), 1) != 1
        || EVP_PKEY_derive(ctx.get(), nullptr, &length) != 1 || length == 0 || length > 256)
        throw CryptoError(QStringLiteral("ECDH"), takeLibraryReason());
    QByteArray secret(qsizetype(length), Qt::Uninitialized);
    if (EVP_PKEY_derive(ctx.get(), reinterpret_cast<unsigned char *>(secret.data()), &length) != 1)
        throw CryptoError(QStringLiteral("ECDH"), takeLibraryReason());
    secret.truncate(qsizetype(length));
    return secret;
}

bool CryptoPrimitives::isValidP256PublicKey(QByteArrayView publicKeyX963)
{
    QString reason;
    return importPublicKey(publicKeyX963, &reason) != nullptr;
}

QByteArray CryptoPrimitives::hkdfSha256(QByteArrayView inputKeyMaterial, QByteArrayView salt, QByteArrayView info,
                                        int outputLength)
{
    if (outputLength <= 0 || outputLength > 255 * 32)
        throw CryptoError(QStringLiteral("HKDF-SHA256"), QStringLiteral("output length out of range"));
    std::unique_ptr<EVP_KDF, KdfDeleter> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    if (!kdf)
        throw CryptoError(QStringLiteral("HKDF-SHA256"), takeLibraryReason());
    std::unique_ptr<EVP_KDF_CTX, KdfCtxDeleter> ctx(EVP_KDF_CTX_new(kdf.get()));
    if (!ctx)
        throw CryptoError(QStringLiteral("HKDF-SHA256"), takeLibraryReason());

    // OSSL_PARAM wants non-const pointers; the library only reads them.
    QByteArray ikm = inputKeyMaterial.toByteArray();
    QByteArray saltBytes = salt.toByteArray();
    QByteArray infoBytes = info.toByteArray();
    char digest[] = "SHA256";
    std::array<OSSL_PARAM, 5> params {};
    int n = 0;
    params[n++] = OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest, 0);
    params[n++] = OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, ikm.data(), size_t(ikm.size()));
    // An empty salt is HKDF's default (a block of zeros), which is what leaving it out gives.
    if (!saltBytes.isEmpty())
        params[n++] = OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, saltBytes.data(),
                                                        size_t(saltBytes.size()));
    params[n++] = OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, infoBytes.data(), size_t(infoBytes.size()));
    params[n] = OSSL_PARAM_construct_end();

    QByteArray out(outputLength, Qt::Uninitialized);
    if (EVP_KDF_derive(ctx.get(), reinterpret_cast<unsigned char *>(out.data()), size_t(outputLength),
                       params.data())
        != 1)
        throw CryptoError(QStringLiteral("HKDF-SHA256"), takeLibraryReason());
    return out;
}

QByteArray CryptoPrimitives::randomBytes(int count)
{
    if (count < 0)
        throw CryptoError(QStringLiteral("random"), QStringLiteral("negative length"));
    QByteArray out(count, Qt::Uninitialized);
    if (count > 0 && RAND_bytes(reinterpret_cast<unsigned char *>(out.data()), count) != 1)
        throw CryptoError(QStringLiteral("random"), takeLibraryReason());
    return out;
}

std::optional<QByteArray> CryptoPrimitives::base64DecodeStrict(QByteArrayView text)
{
    return decodeBase64<false>(text);
}

std::optional<QByteArray> CryptoPrimitives::base64DecodeSkippingUnknown(QByteArrayView text)
{
    return decodeBase64<true>(text);
}
