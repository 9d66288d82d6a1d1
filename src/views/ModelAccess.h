#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// How the view controllers talk to the application model: through its
// published properties and invokable operations, by name, so that they bind
// to any object that publishes the model's interface.
namespace ModelAccess {

[[nodiscard]] QVariant read(const QObject *model, const char *property);
[[nodiscard]] QString readString(const QObject *model, const char *property);
[[nodiscard]] bool readBool(const QObject *model, const char *property);
[[nodiscard]] int readInt(const QObject *model, const char *property, int fallback = 0);
// Nothing for a missing or non-finite number.
[[nodiscard]] std::optional<double> readDouble(const QObject *model, const char *property);

// An optional value is absent when the variant is invalid or null, or holds a
// null string.
[[nodiscard]] bool isAbsent(const QVariant &value);
// An optional text: nothing when absent.
[[nodiscard]] std::optional<QString> optionalText(const QVariant &value);
// A member of a record value: a gadget, a map or an object.
[[nodiscard]] QVariant member(const QVariant &record, const char *name);

// Sets an optional property to none: by the model's own clear<Name>()
// operation when it has one, else by writing an empty value.
void clear(QObject *model, const char *property);
void write(QObject *model, const char *property, const QVariant &value);
// Calls an invokable operation; false when the model has none of that name.
bool invoke(QObject *model, const char *method);
bool invoke(QObject *model, const char *method, const QString &argument);
bool invoke(QObject *model, const char *method, double argument);

// Connects the change signal of each named property to receiver's slot
// (a method signature such as "modelChanged()"); each signal once.
void connectChanges(QObject *model, const QStringList &properties, QObject *receiver, const char *slotSignature);

} // namespace ModelAccess
