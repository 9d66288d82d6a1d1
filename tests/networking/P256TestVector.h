#pragma once

#include <QByteArray>

// NIST CAVS ECC CDH primitive test vectors, P-256, COUNT = 0: a published
// exchange, so that a fault the program shares with the fake service (which
// derives with the same code) cannot pass.
namespace P256TestVector {

// The own side's private scalar and its public point (X9.63, uncompressed).
inline QByteArray privateKey()
{
    return QByteArray::fromHex("7d7dc5f71eb29ddaf80d6214632eeae03d9058af1fb6d22ed80badb62bc1a534");
}
inline QByteArray ownPublic()
{
    return QByteArray::fromHex("04"
                               "ead218590119e8876b29146ff89ca61770c4edbbf97d38ce385ed281d8a6b230"
                               "28af61281fd35e2fa7002523acc85a429cb06ee6648325389f59edfce1405141");
}
inline QByteArray peerPublic()
{
    return QByteArray::fromHex("04"
                               "700c48f77f56584c5cc632ca65640db91b6bacce3a4df6b42ce7cc838833d287"
                               "db71e509e3fd9b060ddb20ba5c51dcc5948d46fbf640dfe0441782cab85fa4ac");
}
inline QByteArray sharedSecret()
{
    return QByteArray::fromHex("46fc62106420ff012e54a434fbdd2d25ccc5852060561e68040dd7778997bd7b");
}

} // namespace P256TestVector
