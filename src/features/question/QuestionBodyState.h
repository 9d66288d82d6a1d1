#pragma once

#include "OptionListModel.h"
#include "app/AppModel.h"
#include "models/Question.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What one question page shows, read from the application model for the
// question with the given id: the header, the options with their marks, the
// confirm and reveal buttons, the review result and the navigation. Every
// action goes to a model operation. The page's own question is looked up by
// id, so a page keeps working while the set around it changes.
class QuestionBodyState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QString questionId READ questionId WRITE setQuestionId NOTIFY questionIdChanged)
    Q_PROPERTY(OptionListModel *options READ options CONSTANT)

    Q_PROPERTY(bool valid READ valid NOTIFY changed)
    Q_PROPERTY(int questionType READ questionTypeValue NOTIFY changed)
    Q_PROPERTY(QString typeTag READ typeTag NOTIFY changed)
    Q_PROPERTY(QString questionFrom READ questionFrom NOTIFY changed)
    Q_PROPERTY(QString stemHtml READ stemHtml NOTIFY changed)
    Q_PROPERTY(QString correctAnswer READ correctAnswer NOTIFY changed)
    Q_PROPERTY(QString analysisHtml READ analysisHtml NOTIFY changed)
    Q_PROPERTY(bool isCollect READ isCollect NOTIFY changed)
    Q_PROPERTY(bool isGraphicReasoning READ isGraphicReasoning NOTIFY changed)

    Q_PROPERTY(bool isLastQuestion READ isLastQuestion NOTIFY changed)
    Q_PROPERTY(bool revealed READ revealed NOTIFY changed)
    Q_PROPERTY(bool locked READ locked NOTIFY changed)
    Q_PROPERTY(bool hasAnswer READ hasAnswer NOTIFY changed)
    Q_PROPERTY(bool showsConfirmButton READ showsConfirmButton NOTIFY changed)
    Q_PROPERTY(QString confirmLabel READ confirmLabel NOTIFY changed)
    Q_PROPERTY(bool confirmEnabled READ hasAnswer NOTIFY changed)
    Q_PROPERTY(double confirmOpacity READ confirmOpacity NOTIFY changed)
    Q_PROPERTY(QString revealLabel READ revealLabel NOTIFY changed)
    Q_PROPERTY(bool showsAnalysisCard READ showsAnalysisCard NOTIFY changed)
    Q_PROPERTY(bool showsReviewResult READ showsReviewResult NOTIFY changed)
    Q_PROPERTY(bool canGoPrevious READ canGoPrevious NOTIFY changed)
    Q_PROPERTY(bool canGoNext READ canGoNext NOTIFY changed)

    // The look of the page's HTML views.
    Q_PROPERTY(bool transparent READ transparent NOTIFY changed)
    Q_PROPERTY(double htmlTextOpacity READ htmlTextOpacity NOTIFY changed)
    Q_PROPERTY(double htmlImageOpacity READ htmlImageOpacity NOTIFY changed)
    Q_PROPERTY(QString inkHex READ inkHex NOTIFY changed)
    Q_PROPERTY(double inkIntensity READ inkIntensity NOTIFY changed)

public:
    explicit QuestionBodyState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] QString questionId() const { return m_questionId; }
    void setQuestionId(const QString &questionId);
    [[nodiscard]] OptionListModel *options() const { return m_options; }
    [[nodiscard]] const std::optional<Question> &question() const { return m_question; }

    [[nodiscard]] bool valid() const { return m_question.has_value(); }
    [[nodiscard]] QuestionType questionType() const;
    [[nodiscard]] int questionTypeValue() const { return int(questionType()); }
    [[nodiscard]] QString typeTag() const;
    [[nodiscard]] QString questionFrom() const;
    [[nodiscard]] QString stemHtml() const;
    [[nodiscard]] QString correctAnswer() const;
    [[nodiscard]] QString analysisHtml() const;
    [[nodiscard]] bool isCollect() const;
    [[nodiscard]] bool isGraphicReasoning() const;

    [[nodiscard]] bool isLastQuestion() const;
    [[nodiscard]] bool revealed() const;
    [[nodiscard]] bool locked() const;
    [[nodiscard]] bool hasAnswer() const;
    [[nodiscard]] bool showsConfirmButton() const;
    [[nodiscard]] QString confirmLabel() const;
    [[nodiscard]] double confirmOpacity() const { return hasAnswer() ? 1.0 : 0.42; }
    [[nodiscard]] QString revealLabel() const;
    [[nodiscard]] bool showsAnalysisCard() const;
    [[nodiscard]] bool showsReviewResult() const;
    [[nodiscard]] bool canGoPrevious() const;
    [[nodiscard]] bool canGoNext() const;

    [[nodiscard]] bool transparent() const;
    [[nodiscard]] double htmlTextOpacity() const;
    [[nodiscard]] double htmlImageOpacity() const;
    // Empty outside the transparent look: the HTML views then use their own colours.
    [[nodiscard]] QString inkHex() const;
    [[nodiscard]] double inkIntensity() const;

    // A click on an option row, or its answer key: a single choice is picked,
    // a multiple choice toggles the letter unless the question is locked.
    Q_INVOKABLE void choose(const QString &letter);
    // The confirm or reveal button; acts on the model's current question.
    Q_INVOKABLE void confirm();
    Q_INVOKABLE void goPrevious();
    Q_INVOKABLE void goNext();

    // Option row colours for the current look; feedback as OptionListModel's role.
    Q_INVOKABLE [[nodiscard]] QColor optionFillColor(bool selected, int feedback) const;
    Q_INVOKABLE [[nodiscard]] QColor optionBorderColor(bool selected, int feedback, bool hovering) const;
    Q_INVOKABLE [[nodiscard]] QColor optionLetterColor(bool selected, int feedback, bool hovering) const;
    Q_INVOKABLE [[nodiscard]] QColor optionRowFillColor(bool selected, int feedback) const;
    Q_INVOKABLE [[nodiscard]] QColor optionFeedbackColor(int feedback) const;

Q_SIGNALS:
    void modelChanged();
    void questionIdChanged();
    // Anything the page shows may have changed.
    void changed();

private:
    void findQuestion();
    void refresh();
    [[nodiscard]] ExamMode examMode() const;
    [[nodiscard]] std::optional<QString> storedAnswer() const;
    [[nodiscard]] QuestionBodyRules::OptionLook look(bool selected, int feedback, bool hovering) const;

    QPointer<AppModel> m_model;
    QString m_questionId;
    std::optional<Question> m_question;
    OptionListModel *m_options;
};
