#pragma once

#include "AppModelTestProbe.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>
#include <QUuid>

#include <memory>

// What a model under a view test stands on: a store in a temporary folder and
// a manual clock. A base of TestAppModel so that it is built first.
struct TestAppModelGround
{
    TestAppModelGround()
        : clock(1'700'000'000'000)
        , defaults(std::make_unique<UserDefaults>(folder.filePath(QStringLiteral("defaults.json"))))
    {
        UserDefaults::setStandard(defaults.get());
    }
    ~TestAppModelGround() { UserDefaults::setStandard(nullptr); }

    QTemporaryDir folder;
    ManualClock clock;
    std::unique_ptr<UserDefaults> defaults;
};

// The real application model on its own store, opened on the home screen of
// one exam bank, with a few shorthands for setting what the views show. No
// request reaches a service: the client points nowhere the views call.
class TestAppModel : private TestAppModelGround, public AppModel
{
public:
    TestAppModel()
        : AppModel(APIClient::shared(), *TestAppModelGround::defaults, TestAppModelGround::clock)
    {
        setSelectedExamBank(ExamBank{QStringLiteral("bank-1"), QStringLiteral("题库"), 1});
        setScreen(AppScreen::home);
    }

    using AppModel::setScreen;
    void setScreen(int screen) { setScreen(AppScreen(screen)); }

    [[nodiscard]] UserDefaults &store() { return *TestAppModelGround::defaults; }
    void showZoom(double scale) { setZoomFeedback(ZoomFeedback{QUuid::createUuid(), scale}); }
    void setLoading(bool loading) { AppModelTestProbe::setIsLoading(*this, loading); }
    void selectBank(const QString &id) { setSelectedExamBank(ExamBank{id, QStringLiteral("题库 ") + id, 1}); }
};
