#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QtGlobal>

// Parses one JSON value of any kind (scalars included) from test text; a test
// fixture that is not valid JSON is a fault of the test itself.
inline QJsonValue jsonValue(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson("[" + text + "]", &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad JSON in test fixture: %s (%s)", text.constData(), qPrintable(error.errorString()));
    return document.array().at(0);
}

inline QJsonObject jsonObject(const QByteArray &text)
{
    return jsonValue(text).toObject();
}

// The object {"v": fragment}, or {} for the marker "<absent>".
inline QJsonObject memberObject(const QByteArray &fragment)
{
    if (fragment == "<absent>")
        return {};
    return jsonObject("{\"v\": " + fragment + "}");
}

inline QByteArray compactJson(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
