#pragma once

#include "ModelTestEnvironment.h"

#include <QCoro/QCoroTask>
#include <QTest>

#include <memory>

namespace AppModelTest {

// Service paths the model tests serve.
inline const QString initConfigPath = QStringLiteral("/common/getInitConfig");
inline const QString cardMenuPath = QStringLiteral("/common/getCardMenu");
inline const QString vipPath = QStringLiteral("/user/getUserVipExpireTimeList");
inline const QString listPath = QStringLiteral("/exam/getRealExamList");
inline const QString detailPath = QStringLiteral("/exam/getRealExamDetailAndJoinExam");

inline ExamBank bank(const QString &id, const QString &name, qint64 isShow = 1)
{
    return ExamBank{id, name, isShow};
}

// The menu ids of one level, in order.
inline QStringList menuIds(const QList<CardMenu> &menus)
{
    QStringList ids;
    for (const CardMenu &menu : menus)
        ids.append(menu.menuId);
    return ids;
}

} // namespace AppModelTest

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

// The shared environment with a model made on demand.
class AppModelEnvironment : public ModelTestEnvironment
{
public:
    AppModel &makeModel()
    {
        model = std::make_unique<AppModel>(*client, *defaults, clock);
        return *model;
    }

    template<class T>
    static T wait(QCoro::Task<T> &&task)
    {
        return QCoro::waitFor(std::move(task));
    }
};
