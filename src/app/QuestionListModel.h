#pragma once

#include "models/Material.h"
#include "models/Question.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QVector>

class AppModel;

// The questions of a set as a view lists them: the open practice set, or the
// analysis list. The records come in whole (a new list is one reset); what the
// user changes afterwards (answers, reveals, collect marks) is read from the
// application model by refreshStates(), which announces only the rows, and
// the roles, that differ.
class QuestionListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Source {
        openSet,  // answers from AppModel::answers()
        analysis, // answers as the report recorded them
    };

    enum Role {
        QuestionIdRole = Qt::UserRole + 1,
        QuestionIndexRole,
        QuestionTypeRole,
        ContextRole,
        OptionsRole,
        AnswerRole,
        AnalysisRole,
        NoteRole,
        QuestionFromRole,
        ExamIdRole,
        MenuIdRole,
        UseTimeRole,
        UserAnswerRole,
        AnsweredRole,
        IsCorrectRole,
        RevealedRole,
        CollectedRole,
        CollectionInFlightRole,
        MaterialIdRole,
        MaterialTitleRole,
        MaterialContentRole,
        IsSectionIntroRole,
        SectionIntroTitleRole,
        SectionIntroDescriptionRole,
        SectionIntroQuestionCountRole,
    };
    Q_ENUM(Role)

    QuestionListModel(const AppModel &source, Source kind, QObject *parent = nullptr);

    void setQuestions(const QList<Question> &questions, const QList<Material> &materials);
    // Announces the material roles of every row that refers to a material.
    void setMaterials(const QList<Material> &materials);
    void refreshStates();

    [[nodiscard]] const QList<Question> &questions() const { return m_questions; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    // What a row shows that changes without a new list.
    struct RowState
    {
        QString userAnswer;
        bool answered = false;
        bool isCorrect = false;
        bool revealed = false;
        bool collected = false;
        bool collectionInFlight = false;
    };
    [[nodiscard]] RowState stateOf(const Question &question, const RowState *previous) const;
    [[nodiscard]] const Material *materialOf(const Question &question) const;

    const AppModel &m_source;
    Source m_kind;
    QList<Question> m_questions;
    QHash<QString, Material> m_materials;
    QVector<RowState> m_states;
};
