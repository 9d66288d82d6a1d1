#include "MaterialPageWindow.h"

#include "SwipeRule.h"

#include <algorithm>

MaterialPageWindow::MaterialPageWindow(QObject *parent)
    : QAbstractListModel(parent)
{
}

QList<qint64> MaterialPageWindow::visibleQuestionIndices(const QList<Question> &questions, qint64 current,
                                                         const QString &materialId)
{
    QList<qint64> result;
    if (questions.isEmpty())
        return result;
    const qint64 lo = std::max<qint64>(0, current - 2);
    const qint64 hi = std::min<qint64>(questions.size() - 1, current + 2);
    const QString key = materialId.trimmed();
    for (qint64 i = lo; i <= hi; ++i) {
        const Question &question = questions.at(i);
        if (question.sectionIntro || !question.materialsId)
            continue;
        if (question.materialsId->trimmed() == key)
            result.append(i);
    }
    return result;
}

void MaterialPageWindow::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &AppModel::questionsChanged, this, &MaterialPageWindow::update);
        connect(m_model, &AppModel::currentQuestionIndexChanged, this, &MaterialPageWindow::update);
    }
    Q_EMIT modelChanged();
    update();
}

void MaterialPageWindow::setMaterialId(const QString &id)
{
    if (m_materialId == id)
        return;
    m_materialId = id;
    Q_EMIT materialIdChanged();
    update();
}

void MaterialPageWindow::update()
{
    QList<Row> next;
    if (m_model) {
        const QList<Question> &questions = m_model->questions();
        for (qint64 i : visibleQuestionIndices(questions, m_model->currentQuestionIndex(), m_materialId))
            next.append(Row{i, questions.at(i).id});
    }
    const int before = count();

    // Both lists ascend by index: drop rows that left, then insert rows that
    // entered, walking them side by side.
    for (int row = int(m_rows.size()) - 1; row >= 0; --row) {
        const qint64 index = m_rows.at(row).index;
        const bool kept = std::any_of(next.cbegin(), next.cend(), [index](const Row &r) { return r.index == index; });
        if (!kept) {
            beginRemoveRows({}, row, row);
            m_rows.removeAt(row);
            endRemoveRows();
        }
    }
    for (int row = 0; row < next.size(); ++row) {
        if (row < m_rows.size() && m_rows.at(row).index == next.at(row).index) {
            if (m_rows.at(row).questionId != next.at(row).questionId) {
                m_rows[row].questionId = next.at(row).questionId;
                Q_EMIT dataChanged(index(row), index(row), {QuestionIdRole});
            }
            continue;
        }
        beginInsertRows({}, row, row);
        m_rows.insert(row, next.at(row));
        endInsertRows();
    }
    if (count() != before)
        Q_EMIT countChanged();

    QString currentId;
    int currentIndex = -1;
    if (m_model) {
        const qint64 index = m_model->currentQuestionIndex();
        if (index >= 0 && index < m_model->questions().size()) {
            currentIndex = int(index);
            currentId = m_model->questions().at(index).id;
        }
    }
    if (currentId != m_currentQuestionId || currentIndex != m_currentIndex) {
        m_currentQuestionId = currentId;
        m_currentIndex = currentIndex;
        Q_EMIT currentQuestionIdChanged();
    }
}

int MaterialPageWindow::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant MaterialPageWindow::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case QuestionIndexRole:
        return int(row.index);
    case QuestionIdRole:
        return row.questionId;
    default:
        return {};
    }
}

QHash<int, QByteArray> MaterialPageWindow::roleNames() const
{
    return {{QuestionIndexRole, "questionIndex"}, {QuestionIdRole, "questionId"}};
}

void MaterialPageWindow::swipe(double dx, double dy)
{
    if (const int step = SwipeRule::step(dx, dy); step != 0 && m_model)
        m_model->moveQuestion(step);
}
