#include "RequestBodies.h"

#include "StrictJson.h"
#include "models/LenientJson.h"

#include <QJsonArray>

namespace {

using StrictJson::integer;
using StrictJson::string;
using L = QLatin1StringView;

} // namespace

QJsonObject SendVerifyCodeRequest::toJson() const
{
    return QJsonObject {{L("mobile"), mobile}};
}

SendVerifyCodeRequest SendVerifyCodeRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    return SendVerifyCodeRequest {string(object, L("mobile"))};
}

QJsonObject LoginRequest::toJson() const
{
    return QJsonObject {{L("mobile"), mobile}, {L("verifyCode"), verifyCode}};
}

LoginRequest LoginRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    LoginRequest body;
    body.mobile = string(object, L("mobile"));
    body.verifyCode = string(object, L("verifyCode"));
    return body;
}

QJsonObject EmptyRequest::toJson() const
{
    return QJsonObject {};
}

EmptyRequest EmptyRequest::fromJson(const QJsonValue &)
{
    return EmptyRequest {};
}

QJsonObject InitConfigRequest::toJson() const
{
    return QJsonObject {{L("examBankId"), examBankId}};
}

InitConfigRequest InitConfigRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    return InitConfigRequest {string(object, L("examBankId"))};
}

QJsonObject CardMenuRequest::toJson() const
{
    return QJsonObject {{L("id"), id}, {L("type"), type}};
}

CardMenuRequest CardMenuRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    CardMenuRequest body;
    body.id = string(object, L("id"));
    body.type = integer(object, L("type"));
    return body;
}

QJsonObject ReportRequest::toJson() const
{
    return QJsonObject {{L("id"), id}};
}

ReportRequest ReportRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    return ReportRequest {string(object, L("id"))};
}

QJsonObject QuestionRequest::toJson() const
{
    return QJsonObject {
        {L("examBankId"), examBankId},
        {L("menuId"), menuId},
        {L("pageSize"), pageSize},
        {L("questionType"), questionType},
    };
}

QuestionRequest QuestionRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    QuestionRequest body;
    body.examBankId = string(object, L("examBankId"));
    body.menuId = string(object, L("menuId"));
    body.pageSize = integer(object, L("pageSize"));
    body.questionType = integer(object, L("questionType"));
    return body;
}

QJsonObject PracticeHistoryListRequest::toJson() const
{
    return QJsonObject {
        {L("examBankId"), examBankId},
        {L("current"), current},
        {L("pageSize"), pageSize},
        {L("examType"), examType},
    };
}

QJsonObject DeletePracticeHistoryRequest::toJson() const
{
    return QJsonObject {{L("ids"), QJsonArray::fromStringList(ids)}};
}

QJsonObject ManageCollectionRequest::toJson() const
{
    return QJsonObject {
        {L("examBankId"), examBankId},
        {L("questionId"), questionId},
        {L("collect"), collect},
    };
}

ManageCollectionRequest ManageCollectionRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    ManageCollectionRequest body;
    body.examBankId = string(object, L("examBankId"));
    body.questionId = string(object, L("questionId"));
    body.collect = StrictJson::boolean(object, L("collect"));
    return body;
}

QJsonObject CollectionListRequest::toJson() const
{
    return QJsonObject {
        {L("examBankId"), examBankId},
        {L("current"), current},
        {L("pageSize"), pageSize},
        {L("menuId"), menuId},
    };
}

CollectionListRequest CollectionListRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    CollectionListRequest body;
    body.examBankId = string(object, L("examBankId"));
    body.current = integer(object, L("current"));
    body.pageSize = integer(object, L("pageSize"));
    body.menuId = string(object, L("menuId"));
    return body;
}
