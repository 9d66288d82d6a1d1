#include "HeaderValueError.h"

HeaderValueError::HeaderValueError(QString what)
    : m_valueName(std::move(what))
{
}

bool HeaderValueError::isSendable(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    }
    return true;
}

QString HeaderValueError::localizedDescription() const
{
    return m_valueName + QStringLiteral("含有换行等控制字符，无法放入请求头，请求未发送");
}
