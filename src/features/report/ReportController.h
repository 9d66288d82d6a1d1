#pragma once

#include "AnswerCircleModel.h"
#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>


// What the report screen shows of the model's report, and its four ways out
// (back, a grid circle, all questions, wrong questions only). Everything is
// recomputed from the model; the screen holds only its hover flag.
class ReportController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(bool hasReport READ hasReport NOTIFY changed)
    Q_PROPERTY(QString backLabel READ backLabel NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString summary READ summary NOTIFY changed)
    Q_PROPERTY(int rightRate READ rightRate NOTIFY changed)
    Q_PROPERTY(qint64 rightNum READ rightNum NOTIFY changed)
    Q_PROPERTY(qint64 wrongNum READ wrongNum NOTIFY changed)
    Q_PROPERTY(qint64 unAnswerNum READ unAnswerNum NOTIFY changed)
    Q_PROPERTY(bool hasWrongAnswers READ hasWrongAnswers NOTIFY changed)
    Q_PROPERTY(bool transparent READ transparent NOTIFY changed)
    Q_PROPERTY(double statusOpacity READ statusOpacity NOTIFY changed)
    Q_PROPERTY(double neutralOpacity READ neutralOpacity NOTIFY changed)
    Q_PROPERTY(AnswerCircleModel *answerGrid READ answerGrid CONSTANT)

public:
    explicit ReportController(QObject *parent = nullptr);
    ~ReportController() override;

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    [[nodiscard]] bool hasReport() const;
    // "练习历史" for a report reopened from the history, else "返回首页".
    [[nodiscard]] QString backLabel() const;
    [[nodiscard]] QString title() const;
    // "本次练习共 N 题，用时 …", N being the sum of the three counters.
    [[nodiscard]] QString summary() const;
    [[nodiscard]] int rightRate() const;
    [[nodiscard]] qint64 rightNum() const;
    [[nodiscard]] qint64 wrongNum() const;
    [[nodiscard]] qint64 unAnswerNum() const;
    [[nodiscard]] bool hasWrongAnswers() const;
    [[nodiscard]] bool transparent() const;
    // The green and red counters in the transparent look grow with brightness.
    [[nodiscard]] double statusOpacity() const;
    // The ring's track and the "未答" dot: the secondary colour's share.
    [[nodiscard]] double neutralOpacity() const;
    [[nodiscard]] AnswerCircleModel *answerGrid() const { return m_grid; }

    // Seconds as text → "59秒" or "62分5秒"; anything but a signed decimal
    // integer counts as 0.
    [[nodiscard]] static QString formattedDuration(const QString &useTime);

    // Home, or the history for a report opened from there.
    Q_INVOKABLE void back();
    // The analysis of all questions, opened at the circle's question.
    Q_INVOKABLE void openQuestion(int index);
    Q_INVOKABLE void showAllAnalysis();
    Q_INVOKABLE void showWrongAnalysis();

Q_SIGNALS:
    void modelChanged();
    void changed();

private:
    void reportChanged();

    QPointer<AppModel> m_model;
    AnswerCircleModel *m_grid;
};
