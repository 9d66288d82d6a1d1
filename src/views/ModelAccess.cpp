#include "ModelAccess.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QSet>
#include <QVariantMap>

#include <cmath>

namespace ModelAccess {

QVariant read(const QObject *model, const char *property)
{
    if (!model)
        return {};
    return model->property(property);
}

QString readString(const QObject *model, const char *property)
{
    return read(model, property).toString();
}

bool readBool(const QObject *model, const char *property)
{
    return read(model, property).toBool();
}

int readInt(const QObject *model, const char *property, int fallback)
{
    bool ok = false;
    const int value = read(model, property).toInt(&ok);
    return ok ? value : fallback;
}

std::optional<double> readDouble(const QObject *model, const char *property)
{
    bool ok = false;
    const double value = read(model, property).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isAbsent(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return true;
    if (value.metaType() == QMetaType::fromType<QString>())
        return value.toString().isNull();
    return false;
}

std::optional<QString> optionalText(const QVariant &value)
{
    if (isAbsent(value))
        return std::nullopt;
    return value.toString();
}

QVariant member(const QVariant &record, const char *name)
{
    if (isAbsent(record))
        return {};
    if (record.metaType() == QMetaType::fromType<QVariantMap>())
        return record.toMap().value(QString::fromLatin1(name));
    if (record.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
        const QObject *object = record.value<QObject *>();
        return object ? object->property(name) : QVariant();
    }
    if (const QMetaObject *meta = record.metaType().metaObject()) {
        const int index = meta->indexOfProperty(name);
        if (index >= 0)
            return meta->property(index).readOnGadget(record.constData());
    }
    return {};
}

namespace {

QByteArray clearMethodName(const char *property)
{
    QByteArray name(property);
    if (!name.isEmpty())
        name[0] = char(QChar::toUpper(uint(uchar(name.at(0)))));
    return QByteArrayLiteral("clear") + name;
}

bool hasMethod(const QObject *model, const QByteArray &signature)
{
    return model->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature.constData()).constData()) >= 0;
}

} // namespace

void clear(QObject *model, const char *property)
{
    if (!model)
        return;
    const QByteArray method = clearMethodName(property);
    if (hasMethod(model, method + "()")) {
        QMetaObject::invokeMethod(model, method.constData(), Qt::DirectConnection);
        return;
    }
    model->setProperty(property, QVariant());
}

void write(QObject *model, const char *property, const QVariant &value)
{
    if (model)
        model->setProperty(property, value);
}

bool invoke(QObject *model, const char *method)
{
    if (!model || !hasMethod(model, QByteArray(method) + "()"))
        return false;
    return QMetaObject::invokeMethod(model, method, Qt::DirectConnection);
}

bool invoke(QObject *model, const char *method, const QString &argument)
{
    if (!model || !hasMethod(model, QByteArray(method) + "(QString)"))
        return false;
    return QMetaObject::invokeMethod(model, method, Qt::DirectConnection, Q_ARG(QString, argument));
}

bool invoke(QObject *model, const char *method, double argument)
{
    if (!model || !hasMethod(model, QByteArray(method) + "(double)"))
        return false;
    return QMetaObject::invokeMethod(model, method, Qt::DirectConnection, Q_ARG(double, argument));
}

void connectChanges(QObject *model, const QStringList &properties, QObject *receiver, const char *slotSignature)
{
    if (!model)
        return;
    const QMetaObject *meta = model->metaObject();
    const int slotIndex = receiver->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(slotSignature).constData());
    Q_ASSERT(slotIndex >= 0);
    QSet<int> connected;
    for (const QString &name : properties) {
        const int index = meta->indexOfProperty(name.toLatin1().constData());
        if (index < 0)
            continue;
        const QMetaProperty property = meta->property(index);
        if (!property.hasNotifySignal())
            continue;
        const int signalIndex = property.notifySignalIndex();
        if (connected.contains(signalIndex))
            continue;
        connected.insert(signalIndex);
        QMetaObject::connect(model, signalIndex, receiver, slotIndex, Qt::DirectConnection);
    }
}

} // namespace ModelAccess
