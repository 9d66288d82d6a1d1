#include "DigitText.h"

std::optional<QChar> DigitText::asciiDigit(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c;
    // Full-width U+FF10-FF19, Arabic-Indic and the other decimal digits of
    // the basic plane; superscripts and Roman numerals are not decimal digits.
    if (c.category() == QChar::Number_DecimalDigit) {
        const int value = c.digitValue();
        if (value >= 0 && value <= 9)
            return QChar(u'0' + value);
    }
    return std::nullopt;
}

QString DigitText::withAsciiDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (const auto digit = asciiDigit(c))
            c = *digit;
    }
    return out;
}
