#include "ExamBankNameWidth.h"

#include "app/ExamBankListModel.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

ExamBankNameWidth::ExamBankNameWidth(QObject *parent)
    : QObject(parent)
{
}

void ExamBankNameWidth::setModel(ExamBankListModel *model)
{
    if (m_model == model)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_model = model;
    if (model) {
        const auto again = [this] { measure(); };
        m_connections = {
            connect(model, &QAbstractItemModel::modelReset, this, again),
            connect(model, &QAbstractItemModel::rowsInserted, this, again),
            connect(model, &QAbstractItemModel::rowsRemoved, this, again),
            connect(model, &QAbstractItemModel::rowsMoved, this, again),
            connect(model, &QAbstractItemModel::layoutChanged, this, again),
            connect(model, &QAbstractItemModel::dataChanged, this, again),
        };
    }
    Q_EMIT modelChanged();
    measure();
}

void ExamBankNameWidth::setFont(const QFont &font)
{
    if (m_font == font)
        return;
    m_font = font;
    Q_EMIT fontChanged();
    measure();
}

void ExamBankNameWidth::setSelectedFont(const QFont &font)
{
    if (m_selectedFont == font)
        return;
    m_selectedFont = font;
    Q_EMIT fontChanged();
    measure();
}

void ExamBankNameWidth::measure()
{
    double widest = 0;
    if (m_model) {
        const QFontMetricsF plain(m_font);
        const QFontMetricsF selected(selectedFont());
        const int rows = m_model->rowCount();
        for (int row = 0; row < rows; ++row) {
            const QModelIndex index = m_model->index(row, 0);
            const QString name = index.data(ExamBankListModel::NameRole).toString();
            const bool isSelected = index.data(ExamBankListModel::IsSelectedRole).toBool();
            widest = std::max(widest, (isSelected ? selected : plain).horizontalAdvance(name));
        }
    }
    widest = std::ceil(widest);
    if (widest == m_widest)
        return;
    m_widest = widest;
    Q_EMIT widestChanged();
}
