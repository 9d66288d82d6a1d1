#include "FixedKeyMaterial.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::uint8_t mask = 0xc6;

// The build settings VUZO_FIXED_KEY_HEX and VUZO_FIXED_IV_HEX, masked.
#include "FixedKeyMaterialValues.h"

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
