#include "APIEnvelope.h"

#include "StrictJson.h"

APIEnvelopeHead APIEnvelopeHead::decode(const QByteArray &json)
{
    const QJsonObject object = StrictJson::parseObject(json);
    APIEnvelopeHead head;
    head.success = StrictJson::boolean(object, QLatin1StringView("success"));
    head.errCode = StrictJson::optionalString(object, QLatin1StringView("errCode"));
    head.errMessage = StrictJson::optionalString(object, QLatin1StringView("errMessage"));
    head.data = object.value(QLatin1StringView("data"));
    return head;
}
