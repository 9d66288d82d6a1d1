#include "RealExamSection.h"

#include "models/LenientJson.h"

#include <QHashFunctions>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

RealExamSection RealExamSection::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    RealExamSection section;
    section.rangBegin = strictInt(object, "rangBegin"_L1);
    section.rangEnd = strictInt(object, "rangEnd"_L1);
    section.title = strictString(object, "title"_L1);
    section.des = strictString(object, "des"_L1);
    return section;
}

QJsonObject RealExamSection::toJson() const
{
    return QJsonObject{{"rangBegin"_L1, rangBegin}, {"rangEnd"_L1, rangEnd}, {"title"_L1, title}, {"des"_L1, des}};
}

QList<RealExamSection> RealExamSection::listFromText(const QString &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return {};
    try {
        return decodeList<RealExamSection>(document.array());
    } catch (const DecodingError &) {
        // One bad element discards every section.
        return {};
    }
}

size_t qHash(const RealExamSection &section, size_t seed)
{
    return qHashMulti(seed, section.rangBegin, section.rangEnd, section.title, section.des);
}
