#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The root view's navigation table: for each screen of the model, the view
// file that shows it and how long that view lives. A screen whose view is not
// built yet names no file and shows the placeholder. Adding a screen, or
// making one real, is one row in ScreenCatalog.cpp.
class ScreenCatalog : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    // Every screen of the table, in table order (AppScreen values).
    Q_PROPERTY(QList<int> screens READ screens CONSTANT)

public:
    // How long a screen's view stays built.
    enum Lifetime {
        // Built on each visit, torn down on leaving.
        WhileShown,
        // Built from sign-in to logout; hidden while another screen shows.
        WhileSignedIn,
        // Built on the first visit after sign-in, then kept like WhileSignedIn;
        // built afresh for another exam bank.
        OnceVisitedPerBank,
    };
    Q_ENUM(Lifetime)

    struct Entry
    {
        int screen;
        // The module's QML file, e.g. "LoginView.qml"; empty: not built yet.
        const char *file;
        Lifetime lifetime;
        // What the placeholder says while the screen has no view.
        const char *title;
    };

    explicit ScreenCatalog(QObject *parent = nullptr);

    [[nodiscard]] static const QList<Entry> &entries();
    // The row of a screen; none for a value that names no screen.
    [[nodiscard]] static const Entry *entry(int screen);

    [[nodiscard]] static QList<int> screens();
    // The view to load for a screen: its file, else the placeholder.
    Q_INVOKABLE [[nodiscard]] static QUrl viewUrl(int screen);
    Q_INVOKABLE [[nodiscard]] static bool hasView(int screen);
    Q_INVOKABLE [[nodiscard]] static int lifetime(int screen);
    Q_INVOKABLE [[nodiscard]] static QString title(int screen);
};
