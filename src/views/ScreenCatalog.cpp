#include "ScreenCatalog.h"

#include "models/Enums.h"

namespace {

const QString placeholderFile = QStringLiteral("ScreenPlaceholder.qml");

} // namespace

ScreenCatalog::ScreenCatalog(QObject *parent)
    : QObject(parent)
{
}

const QList<ScreenCatalog::Entry> &ScreenCatalog::entries()
{
    // clang-format off
    static const QList<Entry> table{
        {int(AppScreen::login),       "LoginView.qml",    WhileShown,         "LoginView"},
        {int(AppScreen::home),        "HomeView.qml",     WhileSignedIn,      "HomeView"},
        {int(AppScreen::purchase),    "PurchaseView.qml", WhileShown,         "PurchaseView"},
        {int(AppScreen::questions),   "QuestionView.qml", WhileShown,         "QuestionView"},
        {int(AppScreen::report),      "ReportView.qml",   WhileShown,         "ReportView"},
        {int(AppScreen::analysis),    "AnalysisView.qml", WhileShown,         "AnalysisView"},
        {int(AppScreen::collections), "CollectionsView.qml", WhileShown,      "CollectionsView"},
        {int(AppScreen::history),     "HistoryView.qml",  OnceVisitedPerBank, "HistoryView"},
    };
    // clang-format on
    return table;
}

const ScreenCatalog::Entry *ScreenCatalog::entry(int screen)
{
    for (const Entry &row : entries()) {
        if (row.screen == screen)
            return &row;
    }
    return nullptr;
}

QList<int> ScreenCatalog::screens()
{
    QList<int> result;
    for (const Entry &row : entries())
        result.append(row.screen);
    return result;
}

bool ScreenCatalog::hasView(int screen)
{
    const Entry *row = entry(screen);
    return row && row->file && *row->file;
}

QUrl ScreenCatalog::viewUrl(int screen)
{
    const QString file = hasView(screen) ? QString::fromLatin1(entry(screen)->file) : placeholderFile;
    return QUrl(QStringLiteral("qrc:/Vuzo/") + file);
}

int ScreenCatalog::lifetime(int screen)
{
    const Entry *row = entry(screen);
    return row ? row->lifetime : WhileShown;
}

QString ScreenCatalog::title(int screen)
{
    const Entry *row = entry(screen);
    return row ? QString::fromLatin1(row->title) : QString();
}
