#pragma once

#include "app/AppModel.h"

#include <exception>
#include <optional>

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
    // The list as it is before any arrives (the service's own lists are never empty).
    static void setExamBanks(AppModel &model, const QList<ExamBank> &banks) { model.setExamBanks(banks); }
    static void setSelectedMenu(AppModel &model, const std::optional<CardMenu> &menu) { model.m_selectedMenu = menu; }
    static void setCollectionMenusDirect(AppModel &model, const QList<CardMenu> &menus) { model.setCollectionMenus(menus); }
    static void setVipStatusCache(AppModel &model, const std::optional<VIPStatusCache> &cache)
    {
        model.setVipStatusCache(cache);
    }
    static qint64 practiceStartedAt(const AppModel &model) { return model.m_practiceStartedAtMilliseconds; }
    static void setIsLoading(AppModel &model, bool value) { model.setIsLoading(value); }
    // As if the home screen had already loaded this session's data.
    static void markHomeStarted(AppModel &model) { model.m_homeStartedThisSession = true; }
};
