#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

// The file is one JSON object:
//   {"format": "vuzo-user-defaults", "version": 1, "values": {key: tagged, ...}}
// and every value, nested ones included, is a one-member object whose member
// name is its kind:
//   {"string": "…"}  {"integer": 42}  {"double": 0.5}  {"double": "nan"}
//   {"bool": true}   {"data": "<Base64>"}  {"dictionary": {key: tagged}}
//   {"array": [tagged, …]}
// so that a restart gives back exactly the kinds that were stored. Doubles that
// JSON cannot hold (nan, ±inf, -0) are written as text.
//
// Every change is written through at once: the store is small, and a change
// that only lived in memory would be lost if the program were killed. A failed
// write keeps the change in memory, reports writeFailed, and is retried by the
// next change or synchronize().
//
// The file is read once, when the store is made; each write replaces it with
// the whole in-memory state, so with two processes on one file the last
// writer wins. The program runs as one instance, which makes that enough.

Q_LOGGING_CATEGORY(lcUserDefaults, "vuzo.defaults")

namespace {

const QString formatName = QStringLiteral("vuzo-user-defaults");
constexpr int formatVersion = 1;

const QString stringTag = QStringLiteral("string");
const QString integerTag = QStringLiteral("integer");
const QString doubleTag = QStringLiteral("double");
const QString boolTag = QStringLiteral("bool");
const QString dataTag = QStringLiteral("data");
const QString dictionaryTag = QStringLiteral("dictionary");
const QString arrayTag = QStringLiteral("array");

constexpr QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions privateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// ---- canonical kinds --------------------------------------------------------

// Brings a value to one of the seven stored kinds (QString, qlonglong, double,
// bool, QByteArray, QVariantMap, QVariantList), so that what a caller reads
// back before a restart is what it reads after one.
std::optional<QVariant> canonical(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Bool:
    case QMetaType::Double:
        return value;
    case QMetaType::Float:
        return QVariant(double(value.toFloat()));
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QVariant(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt; // would not read back as the same integer
        return QVariant(qlonglong(u));
    }
    case QMetaType::QStringList: {
        QVariantList list;
        for (const QString &s : value.toStringList())
            list.append(s);
        return QVariant(list);
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant &element : value.toList()) {
            const auto c = canonical(element);
            if (!c)
                return std::nullopt;
            list.append(*c);
        }
        return QVariant(list);
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        if (value.typeId() == QMetaType::QVariantMap) {
            const QVariantMap source = value.toMap();
            for (auto it = source.cbegin(); it != source.cend(); ++it) {
                const auto c = canonical(it.value());
                if (!c)
                    return std::nullopt;
                map.insert(it.key(), *c);
            }
        } else {
            const QVariantHash source = value.toHash();
            for (auto it = source.cbegin(); it != source.cend(); ++it) {
                const auto c = canonical(it.value());
                if (!c)
                    return std::nullopt;
                map.insert(it.key(), *c);
            }
        }
        return QVariant(map);
    }
    default:
        return std::nullopt;
    }
}

// ---- encoding ---------------------------------------------------------------

QJsonObject tagged(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return {{stringTag, value.toString()}};
    case QMetaType::LongLong:
        return {{integerTag, QJsonValue(qint64(value.toLongLong()))}};
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (std::isnan(d))
            return {{doubleTag, QStringLiteral("nan")}};
        if (std::isinf(d))
            return {{doubleTag, d > 0 ? QStringLiteral("inf") : QStringLiteral("-inf")}};
        if (d == 0.0 && std::signbit(d))
            return {{doubleTag, QStringLiteral("-0")}}; // a JSON -0 reads back as 0
        return {{doubleTag, d}};
    }
    case QMetaType::Bool:
        return {{boolTag, value.toBool()}};
    case QMetaType::QByteArray:
        return {{dataTag, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QVariantMap: {
        QJsonObject members;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            members.insert(it.key(), tagged(it.value()));
        return {{dictionaryTag, members}};
    }
    case QMetaType::QVariantList: {
        QJsonArray elements;
        for (const QVariant &element : value.toList())
            elements.append(tagged(element));
        return {{arrayTag, elements}};
    }
    default:
        // canonical() lets nothing else in.
        Q_UNREACHABLE();
        return {};
    }
}

// ---- decoding ---------------------------------------------------------------

std::optional<QVariant> untagged(const QJsonValue &json)
{
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();
    if (object.size() != 1)
        return std::nullopt;
    const QString tag = object.constBegin().key();
    const QJsonValue inner = object.constBegin().value();

    if (tag == stringTag) {
        if (!inner.isString())
            return std::nullopt;
        return QVariant(inner.toString());
    }
    if (tag == integerTag) {
        if (!inner.isDouble())
            return std::nullopt;
        // An exact integer literal comes back as such; anything with a
        // fraction or out of range is not an integer we wrote.
        const QVariant number = inner.toVariant();
        if (number.typeId() != QMetaType::LongLong)
            return std::nullopt;
        return QVariant(number.toLongLong());
    }
    if (tag == doubleTag) {
        if (inner.isDouble())
            return QVariant(inner.toDouble());
        if (inner.isString()) {
            const QString text = inner.toString();
            if (text == QLatin1String("nan"))
                return QVariant(std::numeric_limits<double>::quiet_NaN());
            if (text == QLatin1String("inf"))
                return QVariant(std::numeric_limits<double>::infinity());
            if (text == QLatin1String("-inf"))
                return QVariant(-std::numeric_limits<double>::infinity());
            if (text == QLatin1String("-0"))
                return QVariant(-0.0);
        }
        return std::nullopt;
    }
    if (tag == boolTag) {
        if (!inner.isBool())
            return std::nullopt;
        return QVariant(inner.toBool());
    }
    if (tag == dataTag) {
        if (!inner.isString())
            return std::nullopt;
        const auto decoded = QByteArray::fromBase64Encoding(inner.toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        return QVariant(decoded.decoded);
    }
    if (tag == dictionaryTag) {
        if (!inner.isObject())
            return std::nullopt;
        QVariantMap map;
        const QJsonObject members = inner.toObject();
        for (auto it = members.constBegin(); it != members.constEnd(); ++it) {
            const auto value = untagged(it.value());
            if (!value)
                return std::nullopt;
            map.insert(it.key(), *value);
        }
        return QVariant(map);
    }
    if (tag == arrayTag) {
        if (!inner.isArray())
            return std::nullopt;
        QVariantList list;
        for (const QJsonValue &element : inner.toArray()) {
            const auto value = untagged(element);
            if (!value)
                return std::nullopt;
            list.append(*value);
        }
        return QVariant(list);
    }
    return std::nullopt;
}

// ---- lenient reads ------------------------------------------------------------

// x truncated toward zero, clamped to the 64-bit range; nan gives 0.
qint64 clampedInt64(double x)
{
    if (std::isnan(x))
        return 0;
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (x >= limit)
        return std::numeric_limits<qint64>::max();
    if (x < -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(x);
}

std::optional<qint64> parseInteger(const QString &raw)
{
    const QString text = raw.trimmed();
    bool ok = false;
    const qint64 i = text.toLongLong(&ok);
    if (ok)
        return i;
    const double d = text.toDouble(&ok); // C locale
    if (ok && std::isfinite(d))
        return clampedInt64(d);
    return std::nullopt;
}

std::optional<double> parseDouble(const QString &raw)
{
    bool ok = false;
    const double d = raw.trimmed().toDouble(&ok);
    if (ok)
        return d;
    return std::nullopt;
}

// The shortest text that reads back as x: "0.1", "3", "1e+300", "nan", "-inf".
QString shortestText(double x)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

struct UserDefaults::Private
{
    QString filePath;
    QVariantMap values;
    bool dirty = false;
};

UserDefaults::UserDefaults(const QString &filePath, QObject *parent)
    : QObject(parent)
    , d(new Private)
{
    d->filePath = filePath;

    QFile file(filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcUserDefaults) << "cannot read the settings file" << filePath << ":" << file.errorString()
                                  << "- starting with empty settings";
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    bool damaged = false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject root = document.object();
    if (parseError.error != QJsonParseError::NoError || !document.isObject()
        || root.value(QLatin1String("format")).toString() != formatName
        || root.value(QLatin1String("version")).toInt(-1) != formatVersion
        || !root.value(QLatin1String("values")).isObject()) {
        damaged = true;
        qCWarning(lcUserDefaults) << "the settings file" << filePath
                                  << "is not readable as settings - starting with empty settings";
    } else {
        const QJsonObject values = root.value(QLatin1String("values")).toObject();
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            const auto value = untagged(it.value());
            if (value) {
                d->values.insert(it.key(), *value);
            } else {
                damaged = true;
                qCWarning(lcUserDefaults) << "dropping an unreadable value from the settings file" << filePath;
            }
        }
    }

    if (damaged) {
        // Keep the damaged bytes aside: the next write replaces the file.
        const QString copyPath = filePath + QStringLiteral(".corrupt");
        QSaveFile copy(copyPath);
        if (copy.open(QIODevice::WriteOnly) && copy.setPermissions(privateFile) && copy.write(bytes) == bytes.size()
            && copy.commit()) {
            qCWarning(lcUserDefaults) << "kept a copy of the damaged settings file as" << copyPath;
        } else {
            copy.cancelWriting();
            qCWarning(lcUserDefaults) << "could not keep a copy of the damaged settings file:" << copy.errorString();
        }
    }
}

UserDefaults::~UserDefaults()
{
    if (d->dirty)
        synchronize();
    delete d;
}

namespace {
UserDefaults *installedStandard = nullptr;
}

UserDefaults &UserDefaults::standard()
{
    if (installedStandard)
        return *installedStandard;
    static const std::unique_ptr<UserDefaults> defaults = std::make_unique<UserDefaults>(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/vuzo/user-defaults.json"));
    return *defaults;
}

void UserDefaults::setStandard(UserDefaults *defaults)
{
    installedStandard = defaults;
}

QString UserDefaults::filePath() const
{
    return d->filePath;
}

QVariant UserDefaults::object(const QString &key) const
{
    return d->values.value(key);
}

bool UserDefaults::contains(const QString &key) const
{
    return d->values.contains(key);
}

QStringList UserDefaults::allKeys() const
{
    return d->values.keys();
}

std::optional<QString> UserDefaults::string(const QString &key) const
{
    const QVariant value = d->values.value(key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return shortestText(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> UserDefaults::data(const QString &key) const
{
    const QVariant value = d->values.value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

qint64 UserDefaults::integer(const QString &key) const
{
    const QVariant value = d->values.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return clampedInt64(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString:
        return parseInteger(value.toString()).value_or(0);
    default:
        return 0;
    }
}

double UserDefaults::doubleValue(const QString &key) const
{
    const QVariant value = d->values.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return double(value.toLongLong());
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::QString:
        return parseDouble(value.toString()).value_or(0.0);
    default:
        return 0.0;
    }
}

bool UserDefaults::boolean(const QString &key) const
{
    const QVariant value = d->values.value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double: {
        const double x = value.toDouble();
        return !std::isnan(x) && x != 0.0;
    }
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return parseInteger(text).value_or(0) != 0;
    }
    default:
        return false;
    }
}

std::optional<QVariantMap> UserDefaults::dictionary(const QString &key) const
{
    const QVariant value = d->values.value(key);
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value.toMap();
}

std::optional<QVariantList> UserDefaults::array(const QString &key) const
{
    const QVariant value = d->values.value(key);
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    return value.toList();
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    if (!value.isValid()) {
        remove(key);
        return;
    }
    const auto stored = canonical(value);
    if (!stored) {
        const QString reason = QStringLiteral("value of kind %1 cannot be stored; the previous value is kept")
                                   .arg(QString::fromLatin1(value.metaType().name()));
        qCWarning(lcUserDefaults) << reason;
        Q_EMIT writeFailed(reason);
        return;
    }
    d->values.insert(key, *stored);
    d->dirty = true;
    synchronize();
}

void UserDefaults::remove(const QString &key)
{
    if (d->values.remove(key) == 0)
        return;
    d->dirty = true;
    synchronize();
}

bool UserDefaults::synchronize()
{
    if (!d->dirty)
        return true;

    auto fail = [this](const QString &reason) {
        qCWarning(lcUserDefaults) << "cannot write the settings file" << d->filePath << ":" << reason;
        Q_EMIT writeFailed(reason);
        return false;
    };

    const QFileInfo info(d->filePath);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        const QString grandParent = QFileInfo(folder).absolutePath();
        if (!QDir().mkpath(grandParent))
            return fail(QStringLiteral("cannot create folder %1").arg(grandParent));
        // The folder holds the login token: private from the moment it exists.
        if (!QDir().mkdir(folder, privateFolder) && !QFileInfo(folder).isDir())
            return fail(QStringLiteral("cannot create folder %1").arg(folder));
    }

    QJsonObject values;
    for (auto it = d->values.cbegin(); it != d->values.cend(); ++it)
        values.insert(it.key(), tagged(it.value()));
    const QJsonObject root{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("version"), formatVersion},
        {QStringLiteral("values"), values},
    };
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);

    QSaveFile file(d->filePath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // Restrict the new file before a single byte of a secret goes into it.
    if (!file.setPermissions(privateFile)) {
        file.cancelWriting();
        return fail(QStringLiteral("cannot make the file private"));
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    d->dirty = false;
    return true;
}
