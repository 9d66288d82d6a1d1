#include "QuestionType.h"

#include "models/LenientJson.h"

namespace QuestionTypes {

QList<QuestionType> allCases()
{
    return {QuestionType::single, QuestionType::multiple, QuestionType::answer};
}

std::optional<QuestionType> fromRawValue(qint64 raw)
{
    switch (raw) {
    case 1:
        return QuestionType::single;
    case 2:
        return QuestionType::multiple;
    case 3:
        return QuestionType::answer;
    default:
        return std::nullopt;
    }
}

QuestionType fromLenientRawValue(qint64 raw)
{
    return fromRawValue(raw).value_or(QuestionType::single);
}

QuestionType fromJson(const QJsonValue &value)
{
    const QString typeName = QStringLiteral("整数");
    if (value.isNull() || value.isUndefined())
        throw DecodingError::valueNotFound(QString(), typeName);
    if (!value.isDouble())
        throw DecodingError::typeMismatch(QString(), typeName);
    const auto raw = LenientJson::integerRead(value);
    if (!raw)
        throw DecodingError::dataCorrupted(QString(), QStringLiteral("题型不是整数"));
    if (const auto type = fromRawValue(*raw))
        return *type;
    throw DecodingError::dataCorrupted(QString(), QStringLiteral("未知题型 %1").arg(*raw));
}

} // namespace QuestionTypes
