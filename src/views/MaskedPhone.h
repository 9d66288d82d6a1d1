#pragma once

#include <QString>

// The signed-in phone number as the window header shows it.
class MaskedPhone
{
public:
    // The user-defaults key under which the signed-in number is stored.
    static constexpr const char *mobileKey = "key_rav_adiror_phone_num";

    // Fewer than 7 user-perceived characters: unchanged. Otherwise the first
    // 3 characters, "****" and the last 4. Counting is by grapheme cluster, so
    // a combining mark or an emoji sequence is never split.
    [[nodiscard]] static QString masked(const QString &mobile);

    // The masked form of the number stored in the standard user defaults, the
    // empty text when none is stored.
    [[nodiscard]] static QString maskedStoredMobile();
};
