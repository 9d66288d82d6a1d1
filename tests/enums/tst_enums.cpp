#include "models/Enums.h"

#include <QTest>

class TestEnums : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void environmentFromRawValue_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("expected"); // -1: no value

        QTest::newRow("test") << QStringLiteral("test") << int(APIEnvironment::test);
        QTest::newRow("production") << QStringLiteral("production") << int(APIEnvironment::production);
        QTest::newRow("letter case") << QStringLiteral("Production") << -1;
        QTest::newRow("leading blank") << QStringLiteral(" production") << -1;
        QTest::newRow("trailing blank") << QStringLiteral("test ") << -1;
        QTest::newRow("empty") << QString() << -1;
    }

    void environmentFromRawValue()
    {
        QFETCH(QString, raw);
        QFETCH(int, expected);
        const auto environment = APIEnvironments::fromRawValue(raw);
        QCOMPARE(environment ? int(*environment) : -1, expected);
        if (environment)
            QCOMPARE(APIEnvironments::rawValue(*environment), raw);
    }

    void environmentCasesAndId()
    {
        QCOMPARE(APIEnvironments::allCases(), (QList<APIEnvironment>{APIEnvironment::test, APIEnvironment::production}));
        QCOMPARE(APIEnvironments::id(APIEnvironment::production), QStringLiteral("production"));
    }

    void hoverStateFromRawValue_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("expected");

        QTest::newRow("hidden") << QStringLiteral("hidden") << int(HoverWindowState::hidden);
        QTest::newRow("showing") << QStringLiteral("showing") << int(HoverWindowState::showing);
        QTest::newRow("visible") << QStringLiteral("visible") << int(HoverWindowState::visible);
        QTest::newRow("hiding") << QStringLiteral("hiding") << int(HoverWindowState::hiding);
        QTest::newRow("suspended") << QStringLiteral("suspended") << int(HoverWindowState::suspended);
        QTest::newRow("capitalised") << QStringLiteral("Suspended") << -1;
    }

    void hoverStateFromRawValue()
    {
        QFETCH(QString, raw);
        QFETCH(int, expected);
        const auto state = HoverWindowStates::fromRawValue(raw);
        QCOMPARE(state ? int(*state) : -1, expected);
    }
};

QTEST_GUILESS_MAIN(TestEnums)
#include "tst_enums.moc"
