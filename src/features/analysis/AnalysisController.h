#pragma once

#include "app/AppModel.h"
#include "AnalysisOptionListModel.h"
#include "AnswerCircleModel.h"
#include "SwipeRule.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>


// The analysis screen's state and rules: header texts, the current question's
// blocks, the navigator grid, the swipe and the answer card's collapsed
// setting; the material split is the question screen's own controller. The
// screen shows one question at a time; its content views stay and take the
// next question's content, so the heights they report carry the content
// generation they were given.
class AnalysisController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)

    // Header and navigation
    Q_PROPERTY(bool fromCollections READ fromCollections NOTIFY changed)
    Q_PROPERTY(QString backLabel READ backLabel NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString navigatorTitle READ navigatorTitle NOTIFY changed)
    Q_PROPERTY(QString progressText READ progressText NOTIFY changed)
    Q_PROPERTY(bool hasCurrentQuestion READ hasCurrentQuestion NOTIFY changed)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY changed)
    Q_PROPERTY(bool canMovePrevious READ canMovePrevious NOTIFY changed)
    Q_PROPERTY(bool canMoveNext READ canMoveNext NOTIFY changed)
    Q_PROPERTY(AnswerCircleModel *navigator READ navigator CONSTANT)

    // The current question
    Q_PROPERTY(QString questionId READ questionId NOTIFY changed)
    Q_PROPERTY(QString typeTag READ typeTag NOTIFY changed)
    Q_PROPERTY(bool hasSource READ hasSource NOTIFY changed)
    Q_PROPERTY(QString sourceText READ sourceText NOTIFY changed)
    Q_PROPERTY(QString source READ source NOTIFY changed)
    Q_PROPERTY(QString stemHtml READ stemHtml NOTIFY changed)
    Q_PROPERTY(QString analysisHtml READ analysisHtml NOTIFY changed)
    Q_PROPERTY(bool showsResultCard READ showsResultCard NOTIFY changed)
    Q_PROPERTY(QString correctAnswerText READ correctAnswerText NOTIFY changed)
    Q_PROPERTY(bool showsUserAnswer READ showsUserAnswer NOTIFY changed)
    Q_PROPERTY(QString userAnswerText READ userAnswerText NOTIFY changed)
    Q_PROPERTY(bool userAnswerCorrect READ userAnswerCorrect NOTIFY changed)
    Q_PROPERTY(bool isGraphicReasoning READ isGraphicReasoning NOTIFY changed)
    Q_PROPERTY(AnalysisOptionListModel *options READ options CONSTANT)
    Q_PROPERTY(bool questionIsCollect READ questionIsCollect NOTIFY changed)

    // Material
    Q_PROPERTY(bool hasMaterial READ hasMaterial NOTIFY changed)
    Q_PROPERTY(QString materialId READ materialId NOTIFY changed)
    Q_PROPERTY(QString materialTitle READ materialTitle NOTIFY changed)
    Q_PROPERTY(QString materialHtml READ materialHtml NOTIFY changed)

    // Look
    Q_PROPERTY(bool transparent READ transparent NOTIFY changed)
    Q_PROPERTY(double htmlTextOpacity READ htmlTextOpacity NOTIFY changed)
    Q_PROPERTY(double stemImageOpacity READ stemImageOpacity NOTIFY changed)
    Q_PROPERTY(double analysisImageOpacity READ analysisImageOpacity NOTIFY changed)
    Q_PROPERTY(double verdictOpacity READ verdictOpacity NOTIFY changed)
    Q_PROPERTY(double headingIconOpacity READ headingIconOpacity NOTIFY changed)

    // Content heights, kept across questions until the new page reports
    Q_PROPERTY(int contentGeneration READ contentGeneration NOTIFY contentGenerationChanged)
    Q_PROPERTY(double questionFrameHeight READ questionFrameHeight NOTIFY heightsChanged)
    Q_PROPERTY(double analysisFrameHeight READ analysisFrameHeight NOTIFY heightsChanged)

    // Navigator column
    Q_PROPERTY(bool answerCardCollapsed READ answerCardCollapsed WRITE setAnswerCardCollapsed NOTIFY answerCardCollapsedChanged)
    Q_PROPERTY(QString handleTooltip READ handleTooltip NOTIFY answerCardCollapsedChanged)

public:
    static inline const QString answerCardCollapsedKey = QStringLiteral("answer_card_collapsed");

    explicit AnalysisController(QObject *parent = nullptr);
    ~AnalysisController() override;

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    [[nodiscard]] bool fromCollections() const;
    [[nodiscard]] QString backLabel() const;
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString navigatorTitle() const;
    // "3 / 12"; "0 / 0" for an empty list.
    [[nodiscard]] QString progressText() const;
    [[nodiscard]] bool hasCurrentQuestion() const { return m_current.has_value(); }
    [[nodiscard]] int currentIndex() const;
    [[nodiscard]] bool canMovePrevious() const;
    [[nodiscard]] bool canMoveNext() const;
    [[nodiscard]] AnswerCircleModel *navigator() const { return m_navigator; }

    [[nodiscard]] QString questionId() const;
    // "单选题", "多选题" or "简答题".
    [[nodiscard]] QString typeTag() const;
    // A source of blanks only is still shown.
    [[nodiscard]] bool hasSource() const;
    [[nodiscard]] QString sourceText() const;
    [[nodiscard]] QString source() const;
    [[nodiscard]] QString stemHtml() const;
    [[nodiscard]] QString analysisHtml() const;
    // Choice questions only.
    [[nodiscard]] bool showsResultCard() const;
    // The answer verbatim, "—" when empty.
    [[nodiscard]] QString correctAnswerText() const;
    // Not for collected questions.
    [[nodiscard]] bool showsUserAnswer() const;
    // The user's answer verbatim, "未作答" when empty.
    [[nodiscard]] QString userAnswerText() const;
    [[nodiscard]] bool userAnswerCorrect() const;
    [[nodiscard]] bool isGraphicReasoning() const;
    [[nodiscard]] AnalysisOptionListModel *options() const { return m_options; }
    // The flag the service sent with the shown question; the collect button
    // reads the model's confirmed changes over it.
    [[nodiscard]] bool questionIsCollect() const;

    [[nodiscard]] bool hasMaterial() const { return m_material.has_value(); }
    [[nodiscard]] QString materialId() const;
    [[nodiscard]] QString materialTitle() const;
    [[nodiscard]] QString materialHtml() const;

    [[nodiscard]] bool transparent() const;
    [[nodiscard]] double htmlTextOpacity() const;
    [[nodiscard]] double stemImageOpacity() const;
    // Dimmed in the transparent look for subjective questions only.
    [[nodiscard]] double analysisImageOpacity() const;
    [[nodiscard]] double verdictOpacity() const;
    [[nodiscard]] double headingIconOpacity() const;

    [[nodiscard]] int contentGeneration() const { return m_contentGeneration; }
    // Never below 80 and 40.
    [[nodiscard]] double questionFrameHeight() const;
    [[nodiscard]] double analysisFrameHeight() const;

    [[nodiscard]] bool answerCardCollapsed() const;
    void setAnswerCardCollapsed(bool collapsed);
    [[nodiscard]] QString handleTooltip() const;

    // Heights reported by the stem's and the analysis's page; a report made
    // for an earlier question's content is ignored.
    Q_INVOKABLE void reportQuestionHeight(int generation, double height);
    Q_INVOKABLE void reportAnalysisHeight(int generation, double height);

    Q_INVOKABLE void back();
    Q_INVOKABLE void moveBy(int step);
    // A navigator circle.
    Q_INVOKABLE void select(int index);
    Q_INVOKABLE void toggleAnswerCard();
    // A finished drag; true when it moved to another question.
    Q_INVOKABLE bool finishSwipe(double dx, double dy);
    // Horizontal wheel or touchpad movement; true when it moved.
    Q_INVOKABLE bool wheelSwipe(double dx, double dy, qint64 timestampMilliseconds);

Q_SIGNALS:
    void modelChanged();
    void changed();
    void heightsChanged();
    void contentGenerationChanged();
    void answerCardCollapsedChanged();

private:
    void listChanged();
    void indexChanged();
    void refreshCurrent();
    [[nodiscard]] double raised(double base) const;

    QPointer<AppModel> m_model;
    AnswerCircleModel *m_navigator;
    AnalysisOptionListModel *m_options;
    std::optional<Question> m_current;
    std::optional<Material> m_material;
    int m_contentGeneration = 0;
    double m_questionContentHeight = 80;
    double m_analysisContentHeight = 80;
    SwipeRule::WheelTracker m_wheel;
};
