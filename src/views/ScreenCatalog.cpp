#include "ScreenCatalog.h"

#include "models/Enums.h"

#include <QFile>

ScreenCatalog::ScreenCatalog(QObject *parent)
    : QObject(parent)
{
}

QString ScreenCatalog::viewName(int screen)
{
    switch (AppScreen(screen)) {
    case AppScreen::login:
        return QStringLiteral("LoginView");
    case AppScreen::home:
        return QStringLiteral("HomeView");
    case AppScreen::purchase:
        return QStringLiteral("PurchaseView");
    case AppScreen::questions:
        return QStringLiteral("QuestionView");
    case AppScreen::report:
        return QStringLiteral("ReportView");
    case AppScreen::analysis:
        return QStringLiteral("AnalysisView");
    case AppScreen::collections:
        return QStringLiteral("CollectionsView");
    case AppScreen::history:
        return QStringLiteral("PracticeHistoryView");
    }
    return {};
}

bool ScreenCatalog::hasView(const QString &name)
{
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return false;
    }
    return !name.isEmpty() && QFile::exists(QStringLiteral(":/Vuzo/") + name + QStringLiteral(".qml"));
}

QUrl ScreenCatalog::viewUrl(const QString &name)
{
    return QUrl(QStringLiteral("qrc:/Vuzo/") + (hasView(name) ? name : QStringLiteral("ScreenPlaceholder"))
                + QStringLiteral(".qml"));
}
