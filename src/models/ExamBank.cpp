#include "ExamBank.h"

#include "models/LenientJson.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

ExamBank ExamBank::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    ExamBank bank;
    bank.id = flexibleString(object, "id"_L1);
    bank.name = flexibleString(object, "name"_L1);
    bank.isShow = flexibleInt(object, "isShow"_L1, 1);
    return bank;
}

QJsonObject ExamBank::toJson() const
{
    return QJsonObject{{"id"_L1, id}, {"name"_L1, name}, {"isShow"_L1, isShow}};
}

size_t qHash(const ExamBank &bank, size_t seed)
{
    return qHashMulti(seed, bank.id, bank.name, bank.isShow);
}

InitConfigResponse InitConfigResponse::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    InitConfigResponse response;
    response.examBankList = strictList<ExamBank>(object, "examBankList"_L1);
    return response;
}
