#pragma once

#include "AnswerCircleModel.h"
#include "PagerWindowModel.h"
#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

class UserDefaults;

// The question screen's view state and the rules its parts show: the pager's
// mounted pages, the top bar's texts and actions, the answer card's numbers
// and the stored collapsed switch, the confirmation's message and the swipe.
// Everything is read from the model; actions go to model operations.
class QuestionScreenController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(PagerWindowModel *pages READ pages CONSTANT)
    Q_PROPERTY(AnswerCircleModel *answerCard READ answerCard CONSTANT)

    Q_PROPERTY(bool hasCurrentQuestion READ hasCurrentQuestion NOTIFY changed)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY changed)
    // The material of the current question ("" for none).
    Q_PROPERTY(QString currentMaterialId READ currentMaterialId NOTIFY changed)
    Q_PROPERTY(QString currentMaterialTitle READ currentMaterialTitle NOTIFY changed)
    Q_PROPERTY(QString currentMaterialContent READ currentMaterialContent NOTIFY changed)
    Q_PROPERTY(QString currentStem READ currentStem NOTIFY changed)
    Q_PROPERTY(bool currentIsSectionIntro READ currentIsSectionIntro NOTIFY changed)

    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString modeLabel READ modeLabel NOTIFY changed)
    Q_PROPERTY(QString progressText READ progressText NOTIFY changed)
    Q_PROPERTY(double progressFraction READ progressFraction NOTIFY changed)
    Q_PROPERTY(bool exportVisible READ exportVisible NOTIFY changed)
    Q_PROPERTY(bool exportEnabled READ exportEnabled NOTIFY changed)

    Q_PROPERTY(QString answeredCountText READ answeredCountText NOTIFY changed)
    Q_PROPERTY(bool canGoPrevious READ canGoPrevious NOTIFY changed)
    Q_PROPERTY(bool canGoNext READ canGoNext NOTIFY changed)
    Q_PROPERTY(bool answerCardCollapsed READ answerCardCollapsed WRITE setAnswerCardCollapsed NOTIFY answerCardCollapsedChanged)
    Q_PROPERTY(QString submitConfirmationMessage READ submitConfirmationMessage NOTIFY changed)

public:
    static inline const QString answerCardCollapsedKey = QStringLiteral("answer_card_collapsed");

    explicit QuestionScreenController(QObject *parent = nullptr);
    // Tests use a store of their own; it must outlive the controller.
    explicit QuestionScreenController(UserDefaults &defaults, QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] PagerWindowModel *pages() { return &m_pages; }
    [[nodiscard]] AnswerCircleModel *answerCard() { return &m_answerCard; }

    [[nodiscard]] bool hasCurrentQuestion() const;
    [[nodiscard]] int currentIndex() const;
    [[nodiscard]] QString currentMaterialId() const;
    [[nodiscard]] QString currentMaterialTitle() const;
    [[nodiscard]] QString currentMaterialContent() const;
    [[nodiscard]] QString currentStem() const;
    [[nodiscard]] bool currentIsSectionIntro() const;
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString modeLabel() const;
    [[nodiscard]] QString progressText() const;
    [[nodiscard]] double progressFraction() const;
    [[nodiscard]] bool exportVisible() const;
    [[nodiscard]] bool exportEnabled() const;
    [[nodiscard]] QString answeredCountText() const;
    [[nodiscard]] bool canGoPrevious() const;
    [[nodiscard]] bool canGoNext() const;
    [[nodiscard]] bool answerCardCollapsed() const { return m_answerCardCollapsed; }
    void setAnswerCardCollapsed(bool value);
    [[nodiscard]] QString submitConfirmationMessage() const;

    // The top bar's back: ignored during an export or a submission; a set
    // resumed from the history returns to the history.
    Q_INVOKABLE void goBack();
    // A pager drag ended at (dx, dy).
    Q_INVOKABLE void swipe(double dx, double dy);
    Q_INVOKABLE void move(int offset);
    // An answer-card number: the question at that place of the set.
    Q_INVOKABLE void jumpTo(int sourceIndex);
    Q_INVOKABLE void toggleAnswerCard() { setAnswerCardCollapsed(!m_answerCardCollapsed); }
    Q_INVOKABLE void submit();
    Q_INVOKABLE [[nodiscard]] bool isGraphicReasoning(int questionIndex) const;

    // Fill, text and stroke kinds of an answer-card number (QuestionScreenRules enums as ints).
    Q_INVOKABLE [[nodiscard]] static int numberFill(bool transparent, bool current, bool answered);
    Q_INVOKABLE [[nodiscard]] static int numberText(bool transparent, bool current);
    Q_INVOKABLE [[nodiscard]] static int numberStroke(bool transparent, bool current);
    Q_INVOKABLE [[nodiscard]] static QString sectionCountText(int count);
    Q_INVOKABLE [[nodiscard]] static QString sectionDescriptionText(const QString &description);

Q_SIGNALS:
    void modelChanged();
    void changed();
    void answerCardCollapsedChanged();

private:
    void connectModel();
    void setRebuildPending();
    void rebuild();
    void followCurrentIndex();
    void followAnswers();

    UserDefaults *m_defaults;
    QPointer<AppModel> m_model;
    QList<QMetaObject::Connection> m_connections;
    PagerWindowModel m_pages;
    AnswerCircleModel m_answerCard;
    bool m_answerCardCollapsed = true;
    bool m_rebuildPending = false;
};
