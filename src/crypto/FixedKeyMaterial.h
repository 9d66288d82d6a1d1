#pragma once

#include <QByteArray>

// The key and initialisation vector of fixed mode, shared by the client and
// the local fake service: AES-128, both 16 bytes. They are kept XOR-ed with a
// constant byte so that neither appears verbatim in the binary, and rebuilt
// into fresh arrays on every call.
namespace FixedKeyMaterial {

inline constexpr int keyLength = 16;
inline constexpr int ivLength = 16;

[[nodiscard]] QByteArray key();
[[nodiscard]] QByteArray initializationVector();

} // namespace FixedKeyMaterial
