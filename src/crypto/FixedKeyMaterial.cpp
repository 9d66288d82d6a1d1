#include "FixedKeyMaterial.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::uint8_t mask = 0xc6;

constexpr std::array<std::uint8_t, FixedKeyMaterial::keyLength> storedKey = {
    0x82, 0x6b, 0x01, 0x3b, 0x63, 0xaa, 0x55, 0xcd, 0x94, 0x4f, 0xe5, 0xde, 0x83, 0xca, 0x84, 0x6e,
};

constexpr std::array<std::uint8_t, FixedKeyMaterial::ivLength> storedIv = {
    0x8e, 0x1f, 0xf2, 0x39, 0x5d, 0xa6, 0xc7, 0x5a, 0x4b, 0xc4, 0x58, 0xbc, 0xf2, 0x9a, 0xf7, 0xe3,
};

template<std::size_t N>
QByteArray unmask(const std::array<std::uint8_t, N> &stored)
{
    QByteArray out(static_cast<qsizetype>(N), Qt::Uninitialized);
    for (std::size_t i = 0; i < N; ++i)
        out[qsizetype(i)] = char(stored[i] ^ mask);
    return out;
}

} // namespace

QByteArray FixedKeyMaterial::key()
{
    return unmask(storedKey);
}

QByteArray FixedKeyMaterial::initializationVector()
{
    return unmask(storedIv);
}
