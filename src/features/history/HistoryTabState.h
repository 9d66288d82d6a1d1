#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class PracticeHistoryController;

// What one tab's list of the history screen shows below its rows: the empty
// state and the footer. The list tells it whether its footer is in view; the
// controller then fetches the next page when that is due.
class HistoryTabState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the history controller")

    Q_PROPERTY(int tab READ tab CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString emptyTitle READ emptyTitle CONSTANT)
    Q_PROPERTY(bool selected READ selected NOTIFY changed)
    Q_PROPERTY(Footer footer READ footer NOTIFY changed)
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY changed)
    Q_PROPERTY(QString errorText READ errorText NOTIFY changed)
    Q_PROPERTY(bool footerInView READ footerInView WRITE setFooterInView NOTIFY footerInViewChanged)

public:
    enum class Footer { None, Error, Loading, LoadMore, End };
    Q_ENUM(Footer)

    HistoryTabState(int tab, PracticeHistoryController *controller);

    [[nodiscard]] int tab() const { return m_tab; }
    // "练习" or "试卷".
    [[nodiscard]] QString title() const;
    // "暂无练习历史" or "暂无试卷历史".
    [[nodiscard]] QString emptyTitle() const;
    [[nodiscard]] bool selected() const;
    // The first that holds: an error, a request in flight, more to load, rows
    // above it (the end), else nothing.
    [[nodiscard]] Footer footer() const;
    // Loaded, nothing listed and no error.
    [[nodiscard]] bool showsEmptyState() const;
    // "加载失败：" and the error's text.
    [[nodiscard]] QString errorText() const;
    [[nodiscard]] bool footerInView() const { return m_footerInView; }
    void setFooterInView(bool inView);

Q_SIGNALS:
    void changed();
    void footerInViewChanged();

private:
    int m_tab;
    PracticeHistoryController *m_controller;
    bool m_footerInView = false;
};
