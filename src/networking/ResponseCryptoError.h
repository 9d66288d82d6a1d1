#pragma once

#include "platform/VuzoError.h"

#include <QString>
#include <cstdint>

// Failures of response-body decryption.
class ResponseCryptoError : public VuzoError
{
public:
    enum class Kind { decryptionFailed, invalidPayload, invalidConfiguration };

    [[nodiscard]] static ResponseCryptoError decryptionFailed(std::int32_t status);
    [[nodiscard]] static ResponseCryptoError invalidPayload();
    [[nodiscard]] static ResponseCryptoError invalidConfiguration();

    [[nodiscard]] Kind kind() const { return m_kind; }
    // The decryption routine's status for `decryptionFailed`; 0 otherwise.
    [[nodiscard]] std::int32_t status() const { return m_status; }

    [[nodiscard]] QString localizedDescription() const override;

    bool operator==(const ResponseCryptoError &other) const = default;

private:
    explicit ResponseCryptoError(Kind kind, std::int32_t status = 0);

    Kind m_kind;
    std::int32_t m_status;
};
