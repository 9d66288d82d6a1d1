#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

// Same kind and same value, recursively; NaN equals NaN and the sign of zero counts.
bool sameStored(const QVariant &a, const QVariant &b, QString *why)
{
    if (a.typeId() != b.typeId()) {
        *why = QStringLiteral("kind %1 vs %2").arg(QString::fromLatin1(a.typeName()), QString::fromLatin1(b.typeName()));
        return false;
    }
    switch (a.typeId()) {
    case QMetaType::Double: {
        const double x = a.toDouble(), y = b.toDouble();
        if (std::isnan(x) && std::isnan(y))
            return true;
        if (x != y || std::signbit(x) != std::signbit(y)) {
            *why = QStringLiteral("double %1 vs %2").arg(x).arg(y);
            return false;
        }
        return true;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap m = a.toMap(), n = b.toMap();
        if (m.keys() != n.keys()) {
            *why = QStringLiteral("dictionary keys differ");
            return false;
        }
        for (auto it = m.cbegin(); it != m.cend(); ++it) {
            if (!sameStored(it.value(), n.value(it.key()), why))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList l = a.toList(), k = b.toList();
        if (l.size() != k.size()) {
            *why = QStringLiteral("array sizes differ");
            return false;
        }
        for (qsizetype i = 0; i < l.size(); ++i) {
            if (!sameStored(l.at(i), k.at(i), why))
                return false;
        }
        return true;
    }
    default:
        if (a != b) {
            *why = QStringLiteral("values differ");
            return false;
        }
        return true;
    }
}

QByteArray allBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Every kind the store keeps, as stored (input) and as read back (canonical).
struct Fixture
{
    QString key;
    QVariant input;
    QVariant expected;
};

QList<Fixture> fixtures()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QVariantMap nested{
        {QStringLiteral("n"), QVariant(qlonglong(7))},
        {QStringLiteral("d"), QVariant(0.5)},
        {QStringLiteral("b"), QVariant(false)},
        {QStringLiteral("s"), QVariant(QStringLiteral("7"))},
        {QStringLiteral("data"), QVariant(QByteArray("\x00\x01", 2))},
        {QStringLiteral("list"), QVariantList{QVariant(true), QVariant(QStringLiteral("x")), QVariantMap{}}},
    };
    return {
        {QStringLiteral("string"), QStringLiteral("文本 with \"quotes\" and \\ and /"), QStringLiteral("文本 with \"quotes\" and \\ and /")},
        {QStringLiteral("emptyString"), QString(""), QString("")},
        {QStringLiteral("numericString"), QStringLiteral("42"), QStringLiteral("42")},
        {QStringLiteral("int"), QVariant(int(-5)), QVariant(qlonglong(-5))},
        {QStringLiteral("uint"), QVariant(uint(4000000000u)), QVariant(qlonglong(4000000000LL))},
        {QStringLiteral("int64max"), QVariant(std::numeric_limits<qlonglong>::max()), QVariant(std::numeric_limits<qlonglong>::max())},
        {QStringLiteral("int64min"), QVariant(std::numeric_limits<qlonglong>::min()), QVariant(std::numeric_limits<qlonglong>::min())},
        {QStringLiteral("doubleWhole"), QVariant(3.0), QVariant(3.0)},
        {QStringLiteral("doubleTenth"), QVariant(0.1), QVariant(0.1)},
        {QStringLiteral("doubleHuge"), QVariant(1.7976931348623157e308), QVariant(1.7976931348623157e308)},
        {QStringLiteral("doubleTiny"), QVariant(5e-324), QVariant(5e-324)},
        {QStringLiteral("negativeZero"), QVariant(-0.0), QVariant(-0.0)},
        {QStringLiteral("nan"), QVariant(nan), QVariant(nan)},
        {QStringLiteral("inf"), QVariant(inf), QVariant(inf)},
        {QStringLiteral("minusInf"), QVariant(-inf), QVariant(-inf)},
        {QStringLiteral("float"), QVariant(0.25f), QVariant(0.25)},
        {QStringLiteral("true"), QVariant(true), QVariant(true)},
        {QStringLiteral("false"), QVariant(false), QVariant(false)},
        {QStringLiteral("data"), QVariant(allBytes()), QVariant(allBytes())},
        {QStringLiteral("emptyData"), QVariant(QByteArray("")), QVariant(QByteArray(""))},
        {QStringLiteral("dictionary"), QVariant(nested), QVariant(nested)},
        {QStringLiteral("hash"), QVariant(QVariantHash{{QStringLiteral("k"), QVariant(1)}}),
         QVariant(QVariantMap{{QStringLiteral("k"), QVariant(qlonglong(1))}})},
        {QStringLiteral("array"), QVariant(QVariantList{QVariant(1), QVariant(2.5), QVariant(nested)}),
         QVariant(QVariantList{QVariant(qlonglong(1)), QVariant(2.5), QVariant(nested)})},
        {QStringLiteral("stringList"), QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")}),
         QVariant(QVariantList{QVariant(QStringLiteral("a")), QVariant(QStringLiteral("b"))})},
        {QStringLiteral("emptyArray"), QVariant(QVariantList{}), QVariant(QVariantList{})},
        {QStringLiteral("emptyDictionary"), QVariant(QVariantMap{}), QVariant(QVariantMap{})},
    };
}

// Checks every fixture in the store at path; an empty result means all match.
QStringList mismatches(const QString &path)
{
    UserDefaults defaults(path);
    QStringList problems;
    for (const Fixture &f : fixtures()) {
        QString why;
        if (!sameStored(defaults.object(f.key), f.expected, &why))
            problems.append(f.key + QStringLiteral(": ") + why);
    }
    return problems;
}

const QString childKey = QStringLiteral("written/by \"child\"");

// Run as a separate process: verify what the parent wrote, then answer.
int childMain(const QString &path)
{
    const QStringList problems = mismatches(path);
    for (const QString &p : problems)
        fprintf(stderr, "mismatch %s\n", qPrintable(p));
    UserDefaults defaults(path);
    defaults.setValue(childKey, QVariantMap{{QStringLiteral("pid"), QCoreApplication::applicationPid()},
                                            {QStringLiteral("bytes"), QByteArray("\xff\x00\x7f", 3)}});
    return problems.isEmpty() ? 0 : 1;
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_ino;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestUserDefaults : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name = QStringLiteral("defaults.json")) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        QDir dir(m_dir.path());
        dir.removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    void everyKindSurvivesReopening()
    {
        {
            UserDefaults defaults(path());
            for (const Fixture &f : fixtures())
                defaults.setValue(f.key, f.input);
            // Read back in memory: already the kinds a restart gives.
            for (const Fixture &f : fixtures()) {
                QString why;
                QVERIFY2(sameStored(defaults.object(f.key), f.expected, &why), qPrintable(f.key + ": " + why));
            }
        }
        // Written through: no synchronize() was needed.
        const QStringList problems = mismatches(path());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void everyKindSurvivesAFreshProcess()
    {
        {
            UserDefaults defaults(path());
            for (const Fixture &f : fixtures())
                defaults.setValue(f.key, f.input);
        }
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path()});
        QVERIFY(child.waitForStarted(30000));
        const qint64 childPid = child.processId();
        QVERIFY(child.waitForFinished(30000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAllStandardError().constData());

        // And back: what the child wrote reaches this process.
        UserDefaults defaults(path());
        const auto fromChild = defaults.dictionary(childKey);
        QVERIFY(fromChild.has_value());
        QCOMPARE(fromChild->value(QStringLiteral("pid")).typeId(), QMetaType::LongLong);
        QCOMPARE(fromChild->value(QStringLiteral("pid")).toLongLong(), childPid);
        QCOMPARE(fromChild->value(QStringLiteral("bytes")).typeId(), QMetaType::QByteArray);
        QCOMPARE(fromChild->value(QStringLiteral("bytes")).toByteArray(), QByteArray("\xff\x00\x7f", 3));
        QCOMPARE(defaults.allKeys().size(), fixtures().size() + 1);
    }

    void typedReads_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("asString"); // invalid: no string
        QTest::addColumn<qint64>("asInteger");
        QTest::addColumn<double>("asDouble");
        QTest::addColumn<bool>("asBool");

        const QVariant none;
        const qint64 max = std::numeric_limits<qint64>::max();
        const qint64 min = std::numeric_limits<qint64>::min();
        auto s = [](const char *t) { return QVariant(QString::fromUtf8(t)); };

        QTest::newRow("missing") << none << none << qint64(0) << 0.0 << false;
        QTest::newRow("string 42") << s("42") << s("42") << qint64(42) << 42.0 << true;
        QTest::newRow("string padded") << s(" -7 ") << s(" -7 ") << qint64(-7) << -7.0 << true;
        QTest::newRow("string fraction") << s("3.9") << s("3.9") << qint64(3) << 3.9 << true;
        QTest::newRow("string exponent") << s("1e3") << s("1e3") << qint64(1000) << 1000.0 << true;
        QTest::newRow("string huge") << s("1e300") << s("1e300") << max << 1e300 << true;
        QTest::newRow("string zero") << s("0") << s("0") << qint64(0) << 0.0 << false;
        QTest::newRow("string half") << s("0.5") << s("0.5") << qint64(0) << 0.5 << false;
        QTest::newRow("string text") << s("abc") << s("abc") << qint64(0) << 0.0 << false;
        QTest::newRow("string leading digits") << s("12abc") << s("12abc") << qint64(0) << 0.0 << false;
        QTest::newRow("string empty") << s("") << s("") << qint64(0) << 0.0 << false;
        QTest::newRow("string YES") << s("YES") << s("YES") << qint64(0) << 0.0 << true;
        QTest::newRow("string yes") << s("yes") << s("yes") << qint64(0) << 0.0 << true;
        QTest::newRow("string True") << s("True") << s("True") << qint64(0) << 0.0 << true;
        QTest::newRow("string no") << s("NO") << s("NO") << qint64(0) << 0.0 << false;
        QTest::newRow("string false") << s("false") << s("false") << qint64(0) << 0.0 << false;
        QTest::newRow("string inf") << s("inf") << s("inf") << qint64(0) << std::numeric_limits<double>::infinity() << false;
        QTest::newRow("integer 0") << QVariant(0) << s("0") << qint64(0) << 0.0 << false;
        QTest::newRow("integer -3") << QVariant(-3) << s("-3") << qint64(-3) << -3.0 << true;
        QTest::newRow("integer max") << QVariant(max) << s("9223372036854775807") << max << 9223372036854775807.0 << true;
        QTest::newRow("double 2.5") << QVariant(2.5) << s("2.5") << qint64(2) << 2.5 << true;
        QTest::newRow("double -2.5") << QVariant(-2.5) << s("-2.5") << qint64(-2) << -2.5 << true;
        QTest::newRow("double whole") << QVariant(3.0) << s("3") << qint64(3) << 3.0 << true;
        QTest::newRow("double zero") << QVariant(0.0) << s("0") << qint64(0) << 0.0 << false;
        QTest::newRow("double 2^63") << QVariant(9223372036854775808.0) << s("9223372036854775808") << max
                                     << 9223372036854775808.0 << true;
        QTest::newRow("double -2^63") << QVariant(-9223372036854775808.0) << s("-9223372036854775808") << min
                                      << -9223372036854775808.0 << true;
        QTest::newRow("double 1e16") << QVariant(1e16) << s("1e+16") << qint64(10000000000000000) << 1e16 << true;
        QTest::newRow("double -1e300") << QVariant(-1e300) << s("-1e+300") << min << -1e300 << true;
        QTest::newRow("double nan") << QVariant(std::numeric_limits<double>::quiet_NaN()) << s("nan") << qint64(0)
                                    << std::numeric_limits<double>::quiet_NaN() << false;
        QTest::newRow("double inf") << QVariant(std::numeric_limits<double>::infinity()) << s("inf") << max
                                    << std::numeric_limits<double>::infinity() << true;
        QTest::newRow("bool true") << QVariant(true) << s("1") << qint64(1) << 1.0 << true;
        QTest::newRow("bool false") << QVariant(false) << s("0") << qint64(0) << 0.0 << false;
        QTest::newRow("data") << QVariant(QByteArray("42")) << none << qint64(0) << 0.0 << false;
        QTest::newRow("dictionary") << QVariant(QVariantMap{{QStringLiteral("a"), 1}}) << none << qint64(0) << 0.0 << false;
        QTest::newRow("array") << QVariant(QVariantList{1}) << none << qint64(0) << 0.0 << false;
    }

    void typedReads()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, asString);
        QFETCH(qint64, asInteger);
        QFETCH(double, asDouble);
        QFETCH(bool, asBool);

        {
            UserDefaults defaults(path());
            if (stored.isValid())
                defaults.setValue(QStringLiteral("k"), stored);
        }
        // Read after a reopen, so the reads see what a restart sees.
        const UserDefaults defaults(path());
        const auto string = defaults.string(QStringLiteral("k"));
        QCOMPARE(string.has_value(), asString.isValid());
        if (string)
            QCOMPARE(*string, asString.toString());
        QCOMPARE(defaults.integer(QStringLiteral("k")), asInteger);
        const double d = defaults.doubleValue(QStringLiteral("k"));
        if (std::isnan(asDouble))
            QVERIFY(std::isnan(d));
        else
            QCOMPARE(d, asDouble);
        QCOMPARE(defaults.boolean(QStringLiteral("k")), asBool);

        const bool isData = stored.typeId() == QMetaType::QByteArray;
        QCOMPARE(defaults.data(QStringLiteral("k")).has_value(), isData);
        QCOMPARE(defaults.dictionary(QStringLiteral("k")).has_value(), stored.typeId() == QMetaType::QVariantMap);
        QCOMPARE(defaults.array(QStringLiteral("k")).has_value(), stored.typeId() == QMetaType::QVariantList);
        QCOMPARE(defaults.contains(QStringLiteral("k")), stored.isValid());
    }

    void fileIsPrivate()
    {
        const QString folder = m_dir.filePath(QStringLiteral("new/vuzo"));
        const QString file = folder + QStringLiteral("/user-defaults.json");
        UserDefaults defaults(file);
        QVERIFY(!QFile::exists(file)); // nothing written before the first change
        defaults.setValue(QStringLiteral("key_rav_adiror_phone_token"), QStringLiteral("secret"));
        QCOMPARE(modeOf(file), mode_t(0600));
        QCOMPARE(modeOf(folder), mode_t(0700));

        // A file that was made readable by others is private again after the next write.
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        defaults.setValue(QStringLiteral("other"), 1);
        QCOMPARE(modeOf(file), mode_t(0600));
    }

    void existingFolderKeepsItsMode()
    {
        // The store only restricts a folder it creates itself.
        QVERIFY(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755) == 0);
        UserDefaults defaults(path());
        defaults.setValue(QStringLiteral("k"), true);
        QCOMPARE(modeOf(m_dir.path()), mode_t(0755));
        QCOMPARE(modeOf(path()), mode_t(0600));
    }

    void writesReplaceTheFileAtomically()
    {
        UserDefaults defaults(path());
        defaults.setValue(QStringLiteral("k"), QStringLiteral("first"));
        const QByteArray firstBytes = readAll(path());
        const ino_t firstInode = inodeOf(path());

        // A second name for the first file: an in-place rewrite would change it too.
        const QString link = m_dir.filePath(QStringLiteral("old-link.json"));
        QVERIFY(::link(QFile::encodeName(path()).constData(), QFile::encodeName(link).constData()) == 0);

        defaults.setValue(QStringLiteral("k"), QStringLiteral("second"));
        QVERIFY(inodeOf(path()) != firstInode);
        QCOMPARE(readAll(link), firstBytes);
        QCOMPARE(UserDefaults(path()).string(QStringLiteral("k")), QStringLiteral("second"));

        // No temporary files left behind.
        const QStringList entries = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(entries, (QStringList{QStringLiteral("defaults.json"), QStringLiteral("old-link.json")}));
    }

    void failedWriteKeepsTheChange()
    {
        // A regular file where the folder should be makes every write fail.
        const QString blocker = m_dir.filePath(QStringLiteral("blocked"));
        writeAll(blocker, "not a folder");
        const QString file = blocker + QStringLiteral("/user-defaults.json");

        UserDefaults defaults(file);
        QSignalSpy failed(&defaults, &UserDefaults::writeFailed);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write the settings file")));
        defaults.setValue(QStringLiteral("token"), QStringLiteral("t"));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(defaults.string(QStringLiteral("token")), QStringLiteral("t"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write the settings file")));
        QVERIFY(!defaults.synchronize());

        QVERIFY(QFile::remove(blocker));
        QVERIFY(defaults.synchronize());
        QCOMPARE(UserDefaults(file).string(QStringLiteral("token")), QStringLiteral("t"));
        QVERIFY(defaults.synchronize()); // nothing pending any more
    }

    void oddKeysAreStoredVerbatim_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("slash") << QStringLiteral("a/b/c");
        QTest::newRow("leading slash") << QStringLiteral("/root");
        QTest::newRow("backslash") << QStringLiteral("a\\b");
        QTest::newRow("double quotes") << QStringLiteral("\"quoted\"");
        QTest::newRow("single quotes") << QStringLiteral("it's");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces and newline") << QStringLiteral(" a key\nwith lines ");
        QTest::newRow("ini syntax") << QStringLiteral("[General]=%20;#x");
        QTest::newRow("chinese") << QStringLiteral("题库/行测");
        QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("x");
    }

    void oddKeysAreStoredVerbatim()
    {
        QFETCH(QString, key);
        {
            UserDefaults defaults(path());
            defaults.setValue(key, QStringLiteral("value"));
            defaults.setValue(QStringLiteral("plain"), 1);
        }
        UserDefaults reopened(path());
        QCOMPARE(reopened.allKeys().size(), 2);
        QVERIFY(reopened.allKeys().contains(key));
        QCOMPARE(reopened.string(key), QStringLiteral("value"));
        const QJsonObject values =
            QJsonDocument::fromJson(readAll(path())).object().value(QLatin1String("values")).toObject();
        QVERIFY(values.contains(key));
    }

    void corruptFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("keptKeys");

        const QByteArray good = R"({"format":"vuzo-user-defaults","version":1,"values":{"good":{"string":"x"},)";
        QTest::newRow("garbage") << QByteArray("\x00\xff garbage", 10) << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("truncated") << QByteArray(good.left(good.size() - 20)) << QStringList{};
        QTest::newRow("json array") << QByteArray("[1,2,3]") << QStringList{};
        QTest::newRow("other format") << QByteArray(R"({"good":"x"})") << QStringList{};
        QTest::newRow("future version")
            << QByteArray(R"({"format":"vuzo-user-defaults","version":2,"values":{}})") << QStringList{};
        QTest::newRow("mistyped value") << QByteArray(good + R"("bad":{"string":5}}})")
                                        << QStringList{QStringLiteral("good")};
        QTest::newRow("unknown tag") << QByteArray(good + R"("bad":{"date":"2024"}}})")
                                     << QStringList{QStringLiteral("good")};
        QTest::newRow("bad base64") << QByteArray(good + R"("bad":{"data":"!!"}}})")
                                    << QStringList{QStringLiteral("good")};
        QTest::newRow("fractional integer") << QByteArray(good + R"("bad":{"integer":1.5}}})")
                                            << QStringList{QStringLiteral("good")};
        QTest::newRow("bad nested value")
            << QByteArray(good + R"("bad":{"array":[{"bool":true},{"bool":"yes"}]}}})")
            << QStringList{QStringLiteral("good")};
    }

    void corruptFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, keptKeys);
        writeAll(path(), bytes);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("settings file")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept a copy")));
        {
            UserDefaults defaults(path());
            QCOMPARE(defaults.allKeys(), keptKeys);
        }
        // Reading alone leaves the file as it was, and a copy is kept aside.
        QCOMPARE(readAll(path()), bytes);
        const QString copy = path() + QStringLiteral(".corrupt");
        QCOMPARE(readAll(copy), bytes);
        QCOMPARE(modeOf(copy), mode_t(0600));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("settings file")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept a copy")));
        {
            UserDefaults defaults(path());
            defaults.setValue(QStringLiteral("new"), 2);
        }
        const UserDefaults reopened(path()); // no warning: the file is sound again
        QStringList expected = keptKeys + QStringList{QStringLiteral("new")};
        expected.sort();
        QCOMPARE(reopened.allKeys(), expected);
        QCOMPARE(reopened.integer(QStringLiteral("new")), qint64(2));
        QCOMPARE(readAll(copy), bytes);
    }

    void unreadableFileGivesAnEmptyStore()
    {
        // A folder in place of the file cannot be read as settings.
        QVERIFY(QDir().mkpath(path()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("settings")));
        UserDefaults defaults(path());
        QVERIFY(defaults.allKeys().isEmpty());
        QVERIFY(!defaults.contains(QStringLiteral("x")));
    }

    void removal()
    {
        UserDefaults defaults(path());
        defaults.remove(QStringLiteral("absent"));
        QVERIFY(!QFile::exists(path())); // removing nothing writes nothing

        defaults.setValue(QStringLiteral("a"), QStringLiteral("1"));
        defaults.setValue(QStringLiteral("b"), QByteArray("2"));
        defaults.setValue(QStringLiteral("c"), 3);
        defaults.remove(QStringLiteral("a"));
        defaults.setValue(QStringLiteral("b"), QVariant()); // an invalid value removes too
        QVERIFY(!defaults.contains(QStringLiteral("a")));
        QVERIFY(!defaults.object(QStringLiteral("b")).isValid());
        QCOMPARE(defaults.allKeys(), QStringList{QStringLiteral("c")});

        const UserDefaults reopened(path());
        QCOMPARE(reopened.allKeys(), QStringList{QStringLiteral("c")});
        QCOMPARE(reopened.integer(QStringLiteral("a")), qint64(0));
        QCOMPARE(reopened.string(QStringLiteral("a")), std::nullopt);
    }

    void allKeys()
    {
        UserDefaults defaults(path());
        QVERIFY(defaults.allKeys().isEmpty());
        const QStringList keys{QStringLiteral("vip_expire_list_model"), QStringLiteral("exam_select_id"),
                               QStringLiteral("home_menu_expansion")};
        for (const QString &key : keys)
            defaults.setValue(key, key);
        defaults.setValue(QStringLiteral("exam_select_id"), 301); // replacing keeps one entry
        QStringList sorted = keys;
        sorted.sort();
        QCOMPARE(defaults.allKeys(), sorted);
        QCOMPARE(UserDefaults(path()).allKeys(), sorted);
        QCOMPARE(defaults.object(QStringLiteral("exam_select_id")).typeId(), QMetaType::LongLong);
    }

    void unsupportedKindsAreRefused_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("date") << QVariant(QDateTime::fromMSecsSinceEpoch(0));
        QTest::newRow("uint64 beyond int64") << QVariant(std::numeric_limits<qulonglong>::max());
        QTest::newRow("nested date") << QVariant(QVariantList{1, QVariant(QDateTime::fromMSecsSinceEpoch(0))});
        QTest::newRow("nested invalid") << QVariant(QVariantMap{{QStringLiteral("x"), QVariant()}});
    }

    void unsupportedKindsAreRefused()
    {
        QFETCH(QVariant, value);
        UserDefaults defaults(path());
        defaults.setValue(QStringLiteral("k"), QStringLiteral("kept"));
        QSignalSpy failed(&defaults, &UserDefaults::writeFailed);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be stored")));
        defaults.setValue(QStringLiteral("k"), value);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(defaults.string(QStringLiteral("k")), QStringLiteral("kept"));
        QCOMPARE(UserDefaults(path()).string(QStringLiteral("k")), QStringLiteral("kept"));
    }

    void standardStore()
    {
        UserDefaults mine(path());
        UserDefaults::setStandard(&mine);
        QCOMPARE(&UserDefaults::standard(), &mine);
        UserDefaults::setStandard(nullptr);
        QCOMPARE(UserDefaults::standard().filePath(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                     + QStringLiteral("/vuzo/user-defaults.json"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return childMain(QString::fromLocal8Bit(argv[2]));
    }
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    TestUserDefaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_userdefaults.moc"
