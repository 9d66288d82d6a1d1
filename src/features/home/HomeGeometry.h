#pragma once

#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// Where the home screen's dropdowns and the settings card go. All
// coordinates are in the space of the overlay that covers the home content.
class HomeGeometry : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr double margin = 8;
    static constexpr double gapBelowSelector = 6;
    static constexpr double bankSlotWidth = 260;
    static constexpr double paperSlotWidth = 420;
    static constexpr double paperSlotMaximumHeight = 300;
    static constexpr double settingsCardWidth = 440;
    static constexpr double settingsCardHeight = 520;

    explicit HomeGeometry(QObject *parent = nullptr);

    // The bank dropdown's slot under a selector at `anchor`: 260 wide, 35 per
    // bank (one row at least) plus 12, right edge on the selector's right
    // edge, 6 below it, kept 8 from the overlay's sides (the right margin
    // wins when both do not fit). Its height is capped at what is left above
    // the overlay's bottom margin; the list scrolls within it.
    Q_INVOKABLE static QRectF examBankSlot(const QRectF &anchor, double overlayWidth, double overlayHeight, int bankCount);
    // The past-paper slot: 420 wide, 37 per paper (one row at least) plus 12,
    // at most 300, and capped like the bank slot.
    Q_INVOKABLE static QRectF realExamSlot(const QRectF &anchor, double overlayWidth, double overlayHeight, int paperCount);
    // The settings card's height: 520, or less when the window is lower, so
    // its buttons stay on screen (the card's content scrolls).
    Q_INVOKABLE static double settingsCardHeightFor(double availableHeight);

    // The bank dropdown's own size, before its slot caps it: rows at least
    // 180 wide (a name plus 68: padding, the check column, the spacings and
    // the minimum space at the end), 32 high and 3 apart, inside 6 of
    // padding; no rows leave the padding alone.
    Q_INVOKABLE static QSizeF examBankPanelSize(double widestName, int bankCount);

    // The natural heights, before any cap.
    [[nodiscard]] static double examBankPanelHeight(int bankCount);
    [[nodiscard]] static double realExamPanelHeight(int paperCount);

private:
    [[nodiscard]] static QRectF slot(const QRectF &anchor, double overlayWidth, double overlayHeight, double width,
                                     double height);
};
