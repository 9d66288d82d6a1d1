#pragma once

#include "AppModelTestProbe.h"
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
