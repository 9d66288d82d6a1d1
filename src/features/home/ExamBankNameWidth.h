#pragma once

#include <QFont>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class ExamBankListModel;

// The width of the longest bank name of a bank list, measured over the whole
// list rather than over the rows a view has happened to create, and measured
// again whenever the list or a name changes, so it shrinks as well as grows.
// The selected bank's name may be drawn in a font of its own (the dropdown
// sets it in semibold); without one it is measured in `font`. Whole pixels,
// rounded up, so a name given this width is never cut.
class ExamBankNameWidth : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(ExamBankListModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QFont selectedFont READ selectedFont WRITE setSelectedFont NOTIFY fontChanged)
    // 0 for an empty list.
    Q_PROPERTY(double widest READ widest NOTIFY widestChanged)

public:
    explicit ExamBankNameWidth(QObject *parent = nullptr);

    [[nodiscard]] ExamBankListModel *model() const { return m_model; }
    void setModel(ExamBankListModel *model);
    [[nodiscard]] QFont font() const { return m_font; }
    void setFont(const QFont &font);
    [[nodiscard]] QFont selectedFont() const { return m_selectedFont.value_or(m_font); }
    void setSelectedFont(const QFont &font);

    [[nodiscard]] double widest() const { return m_widest; }

Q_SIGNALS:
    void modelChanged();
    void fontChanged();
    void widestChanged();

private:
    void measure();

    QPointer<ExamBankListModel> m_model;
    QList<QMetaObject::Connection> m_connections;
    QFont m_font;
    std::optional<QFont> m_selectedFont;
    double m_widest = 0;
};
