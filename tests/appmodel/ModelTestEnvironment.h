#pragma once

#include "FakeService.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>

#include <memory>

// A temporary store, a manual clock, the fake service and a client aimed at
// it: everything a model needs. The model itself is made per test after the
// store has been seeded.
class ModelTestEnvironment
{
public:
    static constexpr qint64 startTime = 1'750'000'000'000; // mid-2025

    ModelTestEnvironment()
        : clock(startTime)
    {
        Clock::setShared(&clock);
        defaults = std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("defaults.json")));
        UserDefaults::setStandard(defaults.get());
        // The fixtures date memberships and history from the shared clock: load
        // them again now that the manual clock is installed.
        service.reset();
        if (!service.start())
            qFatal("the fake service did not start");
        client = std::make_unique<APIClient>(service.baseUrl().toString());
        APIClient::Timeouts limits;
        limits.idleMs = 5'000;
        limits.transferMs = 5'000;
        limits.requestMs = 5'000;
        client->setTimeouts(limits);
    }

    ~ModelTestEnvironment()
    {
        model.reset();
        client.reset();
        service.stop();
        UserDefaults::setStandard(nullptr);
        Clock::setShared(nullptr);
    }

    ModelTestEnvironment(const ModelTestEnvironment &) = delete;
    ModelTestEnvironment &operator=(const ModelTestEnvironment &) = delete;

    // Signs in without the SMS round trip: a token the fake accepts.
    QString storeToken(const QString &mobile = QStringLiteral("13800138000"))
    {
        const QString token = service.issueToken(mobile);
        defaults->setValue(AppModel::tokenKey, token);
        defaults->setValue(AppModel::mobileKey, mobile);
        return token;
    }

    QTemporaryDir dir;
    ManualClock clock;
    std::unique_ptr<UserDefaults> defaults;
    FakeService service;
    std::unique_ptr<APIClient> client;
    std::unique_ptr<AppModel> model;
};
