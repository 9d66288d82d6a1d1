#pragma once

#include <QString>
#include <optional>

// Digits as Chinese input methods type them: in full-width mode (and in some
// locales' own scripts) a digit is not the ASCII one, but the service takes
// ASCII digits only.
namespace DigitText {

// The ASCII digit a decimal digit of any script stands for; nothing for
// every other character.
[[nodiscard]] std::optional<QChar> asciiDigit(QChar c);
// The text with every decimal digit turned into its ASCII digit; other
// characters stay as they are.
[[nodiscard]] QString withAsciiDigits(const QString &text);

} // namespace DigitText
