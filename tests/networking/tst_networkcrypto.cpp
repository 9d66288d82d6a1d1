// AES-CBC routine, Base64 decoders, P-256 agreement, HKDF and the response
// body decoder.

#include "P256TestVector.h"
#include "TestCipher.h"

#include "crypto/AesCbc.h"
#include "crypto/CryptoPrimitives.h"
#include "crypto/FixedKeyMaterial.h"
#include "networking/AESResponseDecoder.h"
#include "networking/ResponseCryptoError.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Produced outside this program: `openssl enc -aes-128-cbc` with the default
// fixed key and IV (those of the fake service) over {"success":true,"data":"固定"}.
const QByteArray defaultFixedKey = QByteArray::fromHex("44adc7fda56c930b52892318450c42a8");
const QByteArray defaultFixedIv = QByteArray::fromHex("48d934ff9b60019c8d029e7a345c3125");
const QByteArray defaultFixedCipherBase64
    = QByteArrayLiteral("cQ+tjFo+2WtAW18Ijj6mh1qzdGlb22bJnJxzMwMd4NFqbL4U0Eeq7FQJ5aFK1Uu/");
const QByteArray fixedModePlain = QByteArrayLiteral("{\"success\":true,\"data\":\"\xe5\x9b\xba\xe5\xae\x9a\"}");
// The same text under the key material this build was configured with.
const QByteArray fixedModeBase64
    = testAesCbcEncrypt(fixedModePlain, QByteArray::fromHex(VUZO_FIXED_KEY_HEX), QByteArray::fromHex(VUZO_FIXED_IV_HEX))
          .toBase64();

// `openssl enc -aes-256-cbc` with key 00…1f and IV f0…ff over {"success":true,"data":[1,2,3]}.
const QByteArray aes256Key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
const QByteArray aes256Iv = QByteArray::fromHex("f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
const QByteArray aes256Base64 = QByteArrayLiteral("jnG31LXVr9TMPZWCLl8GWKgZOctGfbYyErU4JP2DYu0=");
const QByteArray aes256Plain = QByteArrayLiteral("{\"success\":true,\"data\":[1,2,3]}");

// A session body: IV, then the ciphertext, in Base64.
QByteArray sessionBody(const QByteArray &plain, const QByteArray &key, const QByteArray &iv)
{
    return (iv + testAesCbcEncrypt(plain, key, iv)).toBase64();
}

struct DecryptResult
{
    std::int32_t status;
    QByteArray plain;
};

DecryptResult decrypt(const QByteArray &in, const QByteArray &key, const QByteArray &iv, qsizetype capacity = -1)
{
    QByteArray out(capacity < 0 ? in.size() + 16 : capacity, '\0');
    size_t moved = 0;
    const std::int32_t status = vadr_aes_cbc_decrypt(in.constData(), size_t(in.size()), key.constData(),
                                                     size_t(key.size()), iv.constData(), out.data(),
                                                     size_t(out.size()), &moved);
    out.truncate(qsizetype(moved));
    return {status, out};
}

} // namespace

class tst_NetworkCrypto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aesCbcDecrypt_data();
    void aesCbcDecrypt();
    void aesCbcDecryptLargeInput();
    void fixedKeyMaterialIsTheBuildSetting();

    void base64_data();
    void base64();
    void base64RoundTrip();

    void p256Agreement();
    void p256KnownAnswer();
    void p256RejectsBadPrivateKeys_data();
    void p256RejectsBadPrivateKeys();
    void p256RejectsBadPeerKeys_data();
    void p256RejectsBadPeerKeys();
    void hkdfSha256_data();
    void hkdfSha256();

    void responseDecoder_data();
    void responseDecoder();
    void responseCryptoErrorTexts_data();
    void responseCryptoErrorTexts();
    void responseDecoderFuzz();
};

void tst_NetworkCrypto::aesCbcDecrypt_data()
{
    QTest::addColumn<QByteArray>("ciphertext");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("iv");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("plain");

    const QByteArray fixedKey = defaultFixedKey;
    const QByteArray fixedIv = defaultFixedIv;
    const QByteArray fixedCipher = QByteArray::fromBase64(defaultFixedCipherBase64);
    const QByteArray nistKey = QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c");
    const QByteArray nistIv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    // SP 800-38A F.2.1, first block: plain text ends in 0x2a, no valid padding.
    const QByteArray nistBlock = QByteArray::fromHex("7649abac8119b246cee98e9b12e9197d");

    QTest::newRow("fixed key AES-128") << fixedCipher << fixedKey << fixedIv << -1 << 0 << fixedModePlain;
    QTest::newRow("AES-256") << QByteArray::fromBase64(aes256Base64) << aes256Key << aes256Iv << -1 << 0
                             << aes256Plain;
    QTest::newRow("bad padding") << nistBlock << nistKey << nistIv << -1 << -4304 << QByteArray();
    QTest::newRow("empty") << QByteArray() << fixedKey << fixedIv << -1 << -4303 << QByteArray();
    QTest::newRow("15 bytes") << fixedCipher.left(15) << fixedKey << fixedIv << -1 << -4303 << QByteArray();
    QTest::newRow("one byte over a block") << fixedCipher.left(17) << fixedKey << fixedIv << -1 << -4303
                                           << QByteArray();
    QTest::newRow("24-byte key") << fixedCipher << QByteArray(24, 'k') << fixedIv << -1 << -4300 << QByteArray();
    QTest::newRow("output too small") << fixedCipher << fixedKey << fixedIv << int(fixedCipher.size() - 1) << -4300
                                      << QByteArray();
    QTest::newRow("output exactly the input") << fixedCipher << fixedKey << fixedIv << int(fixedCipher.size()) << 0
                                              << fixedModePlain;
}

void tst_NetworkCrypto::aesCbcDecrypt()
{
    QFETCH(QByteArray, ciphertext);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, iv);
    QFETCH(int, capacity);
    QFETCH(int, status);
    QFETCH(QByteArray, plain);

    const DecryptResult result = decrypt(ciphertext, key, iv, capacity);
    QCOMPARE(result.status, status);
    QCOMPARE(result.plain, plain);
}

void tst_NetworkCrypto::aesCbcDecryptLargeInput()
{
    // A question-set sized body, with a last block that is a whole pad block.
    QByteArray plain(2 * 1024 * 1024, 'x');
    for (qsizetype i = 0; i < plain.size(); ++i)
        plain[i] = char('a' + i % 26);
    const QByteArray key = CryptoPrimitives::randomBytes(32);
    const QByteArray iv = CryptoPrimitives::randomBytes(16);
    const DecryptResult result = decrypt(testAesCbcEncrypt(plain, key, iv), key, iv);
    QCOMPARE(result.status, 0);
    QVERIFY(result.plain == plain);
}

void tst_NetworkCrypto::base64_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("strictOk");
    QTest::addColumn<bool>("skippingOk");
    QTest::addColumn<QByteArray>("decoded");

    QTest::newRow("empty") << QByteArray() << true << true << QByteArray();
    QTest::newRow("whole quad") << QByteArray("TWFu") << true << true << QByteArray("Man");
    QTest::newRow("one pad") << QByteArray("TWE=") << true << true << QByteArray("Ma");
    QTest::newRow("two pads") << QByteArray("TQ==") << true << true << QByteArray("M");
    QTest::newRow("all alphabet") << QByteArray("+/+/") << true << true << QByteArray::fromHex("fbffbf");
    QTest::newRow("line break") << QByteArray("TWFu\nTWFu") << false << true << QByteArray("ManMan");
    QTest::newRow("crlf and spaces") << QByteArray(" TW\r\nFu ") << false << true << QByteArray("Man");
    QTest::newRow("break inside padding") << QByteArray("TQ=\n=") << false << true << QByteArray("M");
    QTest::newRow("quotes") << QByteArray("\"TWFu\"") << false << true << QByteArray("Man");
    QTest::newRow("url-safe characters") << QByteArray("TW-Fu_") << false << true << QByteArray("Man");
    QTest::newRow("non-ASCII bytes") << QByteArray("TW\xe3\x80\x80" "Fu") << false << true << QByteArray("Man");
    QTest::newRow("missing padding") << QByteArray("TWE") << false << false << QByteArray();
    QTest::newRow("short padding") << QByteArray("TQ=") << false << false << QByteArray();
    QTest::newRow("three pads") << QByteArray("T===") << false << false << QByteArray();
    QTest::newRow("padding only") << QByteArray("====") << false << false << QByteArray();
    QTest::newRow("data after padding") << QByteArray("TQ==TWFu") << false << false << QByteArray();
    QTest::newRow("lone character") << QByteArray("T") << false << false << QByteArray();
    QTest::newRow("nothing but skipped") << QByteArray(" \n\"") << false << true << QByteArray();
}

void tst_NetworkCrypto::base64()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, strictOk);
    QFETCH(bool, skippingOk);
    QFETCH(QByteArray, decoded);

    const std::optional<QByteArray> strict = CryptoPrimitives::base64DecodeStrict(text);
    QCOMPARE(strict.has_value(), strictOk);
    if (strict)
        QCOMPARE(*strict, decoded);
    const std::optional<QByteArray> skipping = CryptoPrimitives::base64DecodeSkippingUnknown(text);
    QCOMPARE(skipping.has_value(), skippingOk);
    if (skipping)
        QCOMPARE(*skipping, decoded);
}

void tst_NetworkCrypto::base64RoundTrip()
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 500; ++round) {
        QByteArray data(random.bounded(0, 200), Qt::Uninitialized);
        for (char &c : data)
            c = char(random.bounded(256));
        const QByteArray text = data.toBase64();
        QCOMPARE(CryptoPrimitives::base64DecodeStrict(text).value_or("<failed>"), data);
        // The same text wrapped in lines of 76, as mail-style encoders do.
        QByteArray wrapped;
        for (qsizetype i = 0; i < text.size(); i += 76)
            wrapped += text.mid(i, 76) + "\r\n";
        QCOMPARE(CryptoPrimitives::base64DecodeSkippingUnknown(wrapped).value_or("<failed>"), data);
        if (!text.isEmpty())
            QVERIFY(!CryptoPrimitives::base64DecodeStrict(wrapped).has_value());
    }
}

void tst_NetworkCrypto::p256Agreement()
{
    const P256KeyPair alice = P256KeyPair::generate();
    const P256KeyPair bob = P256KeyPair::generate();
    const QByteArray alicePublic = alice.publicKeyX963();
    const QByteArray bobPublic = bob.publicKeyX963();

    QCOMPARE(alicePublic.size(), 65);
    QCOMPARE(quint8(alicePublic.at(0)), quint8(0x04));
    QVERIFY(alicePublic != bobPublic);
    QVERIFY(CryptoPrimitives::isValidP256PublicKey(alicePublic));
    // Standard Base64 of 65 bytes: the handshake's 88 characters.
    QCOMPARE(alicePublic.toBase64().size(), 88);

    const QByteArray secretA = alice.sharedSecret(bobPublic);
    const QByteArray secretB = bob.sharedSecret(alicePublic);
    QCOMPARE(secretA.size(), 32);
    QCOMPARE(secretA, secretB);
    QVERIFY(secretA != alice.sharedSecret(P256KeyPair::generate().publicKeyX963()));
}

// The published P-256 exchange (checked with `openssl pkeyutl -derive` on
// keys built from its digits).
void tst_NetworkCrypto::p256KnownAnswer()
{
    using namespace P256TestVector;
    const P256KeyPair own = P256KeyPair::fromPrivateKey(privateKey());
    QCOMPARE(own.publicKeyX963().toHex(), ownPublic().toHex());
    QCOMPARE(own.sharedSecret(peerPublic()).toHex(), sharedSecret().toHex());
}

void tst_NetworkCrypto::p256RejectsBadPrivateKeys_data()
{
    QTest::addColumn<QByteArray>("scalar");
    QTest::newRow("zero") << QByteArray(32, '\0');
    // n, the order of the group, and n + 1: not below n.
    QTest::newRow("the group order")
        << QByteArray::fromHex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
    QTest::newRow("past the group order")
        << QByteArray::fromHex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632552");
    QTest::newRow("31 bytes") << QByteArray(31, '\x01');
    QTest::newRow("33 bytes") << QByteArray(33, '\x01');
}

void tst_NetworkCrypto::p256RejectsBadPrivateKeys()
{
    QFETCH(QByteArray, scalar);
    QVERIFY_THROWS_EXCEPTION(CryptoError, (void)P256KeyPair::fromPrivateKey(scalar));
}

void tst_NetworkCrypto::p256RejectsBadPeerKeys_data()
{
    QTest::addColumn<QByteArray>("peer");

    const QByteArray valid = P256KeyPair::generate().publicKeyX963();
    QByteArray offCurve = valid;
    offCurve[64] = char(offCurve.at(64) ^ 0x01);
    QByteArray wrongPrefix = valid;
    wrongPrefix[0] = 0x02;
    // x = p, the field prime: not a field element.
    const QByteArray fieldPrime =
        QByteArray::fromHex("ffffffff00000001000000000000000000000000ffffffffffffffffffffffff");

    QTest::newRow("off the curve") << offCurve;
    QTest::newRow("prefix 0x02, 65 bytes") << wrongPrefix;
    QTest::newRow("compressed 33 bytes") << (QByteArray(1, char(0x02 | (valid.at(64) & 1))) + valid.mid(1, 32));
    QTest::newRow("all zero") << QByteArray(65, '\0');
    QTest::newRow("point at infinity") << QByteArray(1, '\0');
    QTest::newRow("coordinate beyond the field") << (QByteArray(1, 0x04) + fieldPrime + valid.mid(33));
    QTest::newRow("truncated") << valid.left(64);
    QTest::newRow("empty") << QByteArray();
}

void tst_NetworkCrypto::p256RejectsBadPeerKeys()
{
    QFETCH(QByteArray, peer);
    QVERIFY(!CryptoPrimitives::isValidP256PublicKey(peer));
    const P256KeyPair own = P256KeyPair::generate();
    QVERIFY_THROWS_EXCEPTION(CryptoError, (void)own.sharedSecret(peer));
}

void tst_NetworkCrypto::hkdfSha256_data()
{
    QTest::addColumn<QByteArray>("ikm");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("okm");

    // RFC 5869, appendix A, test cases 1 and 3.
    QTest::newRow("rfc 5869 case 1")
        << QByteArray(22, 0x0b) << QByteArray::fromHex("000102030405060708090a0b0c") << QByteArray::fromHex("f0f1f2f3f4f5f6f7f8f9")
        << 42
        << QByteArray::fromHex("3cb25f25faacd57a90434f64d0362f2a2d2d0a90cf1a5a4c5db02d56ecc4c5bf34007208d5b887185865");
    QTest::newRow("rfc 5869 case 3, empty salt and info")
        << QByteArray(22, 0x0b) << QByteArray() << QByteArray() << 42
        << QByteArray::fromHex("8da4e775a563c18f715f802a063c5a31b8a11f5c5ee1879ec3454e5f3c738d2d9d201395faa4b61a96c8");
}

void tst_NetworkCrypto::hkdfSha256()
{
    QFETCH(QByteArray, ikm);
    QFETCH(QByteArray, salt);
    QFETCH(QByteArray, info);
    QFETCH(int, length);
    QFETCH(QByteArray, okm);
    QCOMPARE(CryptoPrimitives::hkdfSha256(ikm, salt, info, length).toHex(), okm.toHex());
    QVERIFY_THROWS_EXCEPTION(CryptoError, (void)CryptoPrimitives::hkdfSha256(ikm, salt, info, 0));
    QVERIFY_THROWS_EXCEPTION(CryptoError, (void)CryptoPrimitives::hkdfSha256(ikm, salt, info, 255 * 32 + 1));
}

// expected: the JSON bytes, or "!" followed by the error kind and status.
void tst_NetworkCrypto::responseDecoder_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("sessionKey"); // empty: fixed mode
    QTest::addColumn<QByteArray>("expected");

    const QByteArray key = QByteArray::fromHex("8f1e2d3c4b5a69788796a5b4c3d2e1f00112233445566778899aabbccddeeff0");
    const QByteArray iv = QByteArray::fromHex("0f0e0d0c0b0a09080706050403020100");
    const QByteArray json = QByteArrayLiteral("{\"success\":true,\"data\":{\"id\":\"7\"}}");
    const QByteArray session = sessionBody(json, key, iv);

    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray("!payload");
    QTest::newRow("white space only") << QByteArray(" \r\n\t ") << QByteArray() << QByteArray("!payload");
    QTest::newRow("ideographic space only") << QByteArray("\xe3\x80\x80") << QByteArray() << QByteArray("!payload");
    QTest::newRow("invalid UTF-8") << QByteArray("\xff\xfe{}") << QByteArray() << QByteArray("!payload");
    QTest::newRow("overlong UTF-8") << QByteArray("\xc0\xaf") << QByteArray() << QByteArray("!payload");
    QTest::newRow("UTF-16 surrogate in UTF-8") << QByteArray("\xed\xa0\x80") << QByteArray() << QByteArray("!payload");

    QTest::newRow("plain object kept byte for byte") << QByteArray(" \n {\"a\":1}\n") << key
                                                     << QByteArray(" \n {\"a\":1}\n");
    QTest::newRow("plain array") << QByteArray("[1]") << QByteArray() << QByteArray("[1]");
    QTest::newRow("plain after no-break spaces") << QByteArray("\xc2\xa0\xe3\x80\x80{}") << QByteArray()
                                                 << QByteArray("\xc2\xa0\xe3\x80\x80{}");
    QTest::newRow("brace but not JSON") << QByteArray("{not json") << QByteArray() << QByteArray("{not json");

    QTest::newRow("fixed, bare") << fixedModeBase64 << QByteArray() << fixedModePlain;
    QTest::newRow("fixed, quoted") << ('"' + fixedModeBase64 + '"') << QByteArray() << fixedModePlain;
    QTest::newRow("fixed, wrapped and padded with blanks")
        << ("\n  " + fixedModeBase64.left(20) + "\r\n" + fixedModeBase64.mid(20) + " \n") << QByteArray()
        << fixedModePlain;
    QTest::newRow("fixed, quoted with breaks") << ("\"" + fixedModeBase64.left(30) + "\n" + fixedModeBase64.mid(30) + "\"")
                                               << QByteArray() << fixedModePlain;
    QTest::newRow("lone quote") << QByteArray("\"") << QByteArray() << QByteArray("!decryption -4303");
    QTest::newRow("bad Base64 length") << QByteArray("abc") << QByteArray() << QByteArray("!payload");
    QTest::newRow("fixed, bad padding")
        << testAesCbcEncrypt(QByteArray(16, 'a'), FixedKeyMaterial::key(), FixedKeyMaterial::initializationVector())
               .left(16)
               .toBase64()
        << QByteArray() << QByteArray("!decryption -4304");
    QTest::newRow("fixed, truncated ciphertext") << QByteArray::fromBase64(fixedModeBase64).chopped(1).toBase64()
                                                 << QByteArray() << QByteArray("!decryption -4303");

    QTest::newRow("session") << session << key << json;
    QTest::newRow("session, quoted") << ('"' + session + '"') << key << json;
    QTest::newRow("session key of 16 bytes") << session << key.left(16) << QByteArray("!configuration");
    QTest::newRow("session payload of 16 bytes") << iv.toBase64() << key << QByteArray("!configuration");
    QTest::newRow("session payload of 17 bytes") << (iv + 'x').toBase64() << key << QByteArray("!decryption -4303");
    QTest::newRow("fixed-mode body under a session key") << fixedModeBase64 << key << QByteArray("!decryption -4304");
}

void tst_NetworkCrypto::responseDecoder()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, sessionKey);
    QFETCH(QByteArray, expected);

    const std::optional<QByteArray> key = sessionKey.isEmpty() ? std::nullopt : std::optional(sessionKey);
    QByteArray outcome;
    try {
        outcome = AESResponseDecoder::decodedJSONData(body, key);
    } catch (const ResponseCryptoError &error) {
        switch (error.kind()) {
        case ResponseCryptoError::Kind::invalidPayload:
            outcome = "!payload";
            break;
        case ResponseCryptoError::Kind::invalidConfiguration:
            outcome = "!configuration";
            break;
        case ResponseCryptoError::Kind::decryptionFailed:
            outcome = "!decryption " + QByteArray::number(error.status());
            break;
        }
    }
    QCOMPARE(outcome, expected);
}

void tst_NetworkCrypto::responseCryptoErrorTexts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    QTest::newRow("decryption, negative") << 0 << -4304 << QStringLiteral("响应解密失败（-4304）");
    QTest::newRow("decryption, positive") << 0 << 7 << QStringLiteral("响应解密失败（7）");
    QTest::newRow("payload") << 1 << 0 << QStringLiteral("服务器返回了无法识别的数据");
    QTest::newRow("configuration") << 2 << 0 << QStringLiteral("响应解密配置无效");
}

void tst_NetworkCrypto::responseCryptoErrorTexts()
{
    QFETCH(int, kind);
    QFETCH(int, status);
    QFETCH(QString, text);
    const ResponseCryptoError error = kind == 0   ? ResponseCryptoError::decryptionFailed(status)
                                      : kind == 1 ? ResponseCryptoError::invalidPayload()
                                                  : ResponseCryptoError::invalidConfiguration();
    QCOMPARE(error.localizedDescription(), text);
}

void tst_NetworkCrypto::fixedKeyMaterialIsTheBuildSetting()
{
    // A build aimed at a real service sets its own key and IV; the decoder
    // must use exactly those bytes.
    QCOMPARE(FixedKeyMaterial::key(), QByteArray::fromHex(VUZO_FIXED_KEY_HEX));
    QCOMPARE(FixedKeyMaterial::initializationVector(), QByteArray::fromHex(VUZO_FIXED_IV_HEX));
    QCOMPARE(FixedKeyMaterial::key().size(), FixedKeyMaterial::keyLength);
    QCOMPARE(FixedKeyMaterial::initializationVector().size(), FixedKeyMaterial::ivLength);
}

void tst_NetworkCrypto::responseDecoderFuzz()
{
    // Random bytes, random Base64 and damaged real bodies, in both modes: a
    // result or a ResponseCryptoError, never a crash or another exception.
    QRandomGenerator random(4711);
    const QByteArray key = CryptoPrimitives::randomBytes(32);
    const QByteArray realSession = sessionBody(QByteArray(300, 'q'), key, CryptoPrimitives::randomBytes(16));
    const QByteArray realFixed = fixedModeBase64;
    int results = 0;
    int errors = 0;
    for (int round = 0; round < 4000; ++round) {
        QByteArray body;
        switch (round % 4) {
        case 0:
            body.resize(random.bounded(0, 120));
            for (char &c : body)
                c = char(random.bounded(256));
            break;
        case 1: {
            QByteArray raw(random.bounded(0, 120), Qt::Uninitialized);
            for (char &c : raw)
                c = char(random.bounded(256));
            body = raw.toBase64();
            break;
        }
        default: {
            body = (round % 4 == 2 ? realSession : realFixed);
            const int edits = random.bounded(1, 4);
            for (int e = 0; e < edits && !body.isEmpty(); ++e) {
                const qsizetype at = random.bounded(body.size());
                switch (random.bounded(3)) {
                case 0:
                    body[at] = char(random.bounded(256));
                    break;
                case 1:
                    body.truncate(at);
                    break;
                default:
                    body.insert(at, random.bounded(2) ? '"' : '\n');
                    break;
                }
            }
        }
        }
        const std::optional<QByteArray> sessionKey = random.bounded(2) ? std::optional(key) : std::nullopt;
        try {
            (void)AESResponseDecoder::decodedJSONData(body, sessionKey);
            ++results;
        } catch (const ResponseCryptoError &) {
            ++errors;
        }
    }
    QVERIFY(results > 0);
    QVERIFY(errors > 0);
}

QTEST_GUILESS_MAIN(tst_NetworkCrypto)
#include "tst_networkcrypto.moc"
