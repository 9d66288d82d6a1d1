#pragma once

#include "FakeService.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QCoro/QCoroTask>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Reaches the model's private operations from the tests.
struct AppModelTestProbe
{
    static void handle(AppModel &model, const std::exception_ptr &error) { model.handle(error); }
    static HistoryReport makeLocalReport(const AppModel &model, const QuestionModel &set, qint64 elapsed,
                                         qint64 perQuestionTime)
    {
        return model.makeLocalReport(set, elapsed, perQuestionTime);
    }
    static void applyExamBanks(AppModel &model, const QList<ExamBank> &banks) { model.applyExamBanks(banks); }
    static void setSelectedMenu(AppModel &model, const std::optional<CardMenu> &menu) { model.m_selectedMenu = menu; }
    static void setCollectionMenusDirect(AppModel &model, const QList<CardMenu> &menus) { model.setCollectionMenus(menus); }
    static void setVipStatusCache(AppModel &model, const std::optional<VIPStatusCache> &cache)
    {
        model.setVipStatusCache(cache);
    }
    static qint64 practiceStartedAt(const AppModel &model) { return model.m_practiceStartedAtMilliseconds; }
};

// A temporary store, a manual clock, the fake service and a client aimed at it.
// Everything a model needs; the model itself is made per test after the store
// has been seeded.
class AppModelEnvironment
{
public:
    static constexpr qint64 startTime = 1'750'000'000'000; // mid-2025

    AppModelEnvironment()
        : clock(startTime)
    {
        Clock::setShared(&clock);
        defaults = std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("defaults.json")));
        UserDefaults::setStandard(defaults.get());
        service.reset(); // fixture times from the manual clock
        if (!service.start())
            qFatal("the fake service did not start");
        client = std::make_unique<APIClient>(service.baseUrl().toString());
        APIClient::Timeouts limits;
        limits.idleMs = 5'000;
        limits.transferMs = 5'000;
        limits.requestMs = 5'000;
        client->setTimeouts(limits);
    }

    ~AppModelEnvironment()
    {
        model.reset();
        client.reset();
        service.stop();
        UserDefaults::setStandard(nullptr);
        Clock::setShared(nullptr);
    }

    AppModel &makeModel()
    {
        model = std::make_unique<AppModel>(*client, *defaults, clock);
        return *model;
    }

    // Signs in without the SMS round trip: a token the fake accepts.
    QString storeToken(const QString &mobile = QStringLiteral("13800138000"))
    {
        const QString token = service.issueToken(mobile);
        defaults->setValue(AppModel::tokenKey, token);
        defaults->setValue(AppModel::mobileKey, mobile);
        return token;
    }

    template<class T>
    static T wait(QCoro::Task<T> &&task)
    {
        return QCoro::waitFor(std::move(task));
    }

    QTemporaryDir dir;
    ManualClock clock;
    std::unique_ptr<UserDefaults> defaults;
    FakeService service;
    std::unique_ptr<APIClient> client;
    std::unique_ptr<AppModel> model;
};
