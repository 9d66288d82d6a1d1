#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The per-user typed key-value store for settings, the login token and small
// caches. Every value keeps its kind across runs: string (QString), integer
// (qint64), double, boolean, data (QByteArray), dictionary (QVariantMap) and
// array (QVariantList). Writes are atomic and the file is private to the user.
class UserDefaults : public QObject
{
    Q_OBJECT

public:
    // A store backed by the file at filePath (created on first write).
    explicit UserDefaults(const QString &filePath, QObject *parent = nullptr);
    ~UserDefaults() override;

    // The program's store in the user's configuration folder.
    static UserDefaults &standard();
    // Tests point the standard store elsewhere; nullptr restores the default.
    static void setStandard(UserDefaults *defaults);

    [[nodiscard]] QString filePath() const;

    // The stored value with its kind, or an invalid QVariant when absent.
    [[nodiscard]] QVariant object(const QString &key) const;
    [[nodiscard]] bool contains(const QString &key) const;
    [[nodiscard]] QStringList allKeys() const;

    // Typed reads. Each gives nothing (or the stated fallback) when the key is
    // absent or holds a value of another kind, except where noted.
    [[nodiscard]] std::optional<QString> string(const QString &key) const;     // strings; numbers as their text
    [[nodiscard]] std::optional<QByteArray> data(const QString &key) const;    // data only
    [[nodiscard]] qint64 integer(const QString &key) const;                    // numbers, numeric strings, booleans; else 0
    [[nodiscard]] double doubleValue(const QString &key) const;               // numbers, numeric strings, booleans; else 0
    [[nodiscard]] bool boolean(const QString &key) const;                      // numbers, booleans, "YES"/"true"/"1"; else false
    [[nodiscard]] std::optional<QVariantMap> dictionary(const QString &key) const;
    [[nodiscard]] std::optional<QVariantList> array(const QString &key) const;

    // Stores value with its kind (QString, integers, double, bool, QByteArray,
    // QVariantMap, QVariantList); an invalid QVariant removes the key.
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    // Writes pending changes now; false when the file could not be written.
    bool synchronize();

Q_SIGNALS:
    void writeFailed(const QString &reason);

private:
    struct Private;
    Private *d;
};
