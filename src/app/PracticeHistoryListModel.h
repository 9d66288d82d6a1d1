#pragma once

#include "models/PracticeHistoryRecord.h"

#include <QAbstractListModel>
#include <QList>
#include <QVector>
#include <functional>

// The records of one practice-history tab. The store hands over each new
// list; the model announces the difference the way a list view keeps its
// place: a page that arrives inserts its rows, a deletion removes them, a
// changed record or completion announces its row, anything else resets.
class PracticeHistoryListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using CompletedFunction = std::function<bool(const PracticeHistoryRecord &)>;

    enum Role {
        RecordIdRole = Qt::UserRole + 1,
        ExamNameRole,
        ExamIdRole,
        ExamBankIdRole,
        FormattedDateRole,
        BeginTimeRole,
        RightNumRole,
        WrongNumRole,
        UnAnswerNumRole,
        ExamStatusRole,
        CompletedRole,
    };
    Q_ENUM(Role)

    explicit PracticeHistoryListModel(CompletedFunction completed, QObject *parent = nullptr);

    // Any new list: compared with the shown one (a list that shares the
    // shown one's data is unchanged and costs nothing).
    void setRecords(const QList<PracticeHistoryRecord> &records);
    // A page appended: the first keptCount records are the shown ones,
    // unchanged, so only the new rows are built and inserted. Falls back to
    // setRecords when keptCount is not the shown count.
    void appendRecords(const QList<PracticeHistoryRecord> &records, qsizetype keptCount);
    // The completion of a record may have changed (the completed-report
    // cache moved): announces the rows whose flag changed.
    void refreshCompleted();
    [[nodiscard]] const QList<PracticeHistoryRecord> &records() const { return m_records; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Row
    {
        PracticeHistoryRecord record;
        bool completed = false;
    };
    [[nodiscard]] Row rowOf(const PracticeHistoryRecord &record) const;
    void insertMissing(const QVector<Row> &next);
    void removeMissing(const QVector<Row> &next);
    void announceChanged(const QVector<Row> &next);

    CompletedFunction m_completed;
    QList<PracticeHistoryRecord> m_records;
    QVector<Row> m_rows;
};
