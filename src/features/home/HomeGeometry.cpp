#include "HomeGeometry.h"

#include <algorithm>
#include <cmath>

HomeGeometry::HomeGeometry(QObject *parent)
    : QObject(parent)
{
}

double HomeGeometry::examBankPanelHeight(int bankCount)
{
    return std::max(bankCount, 1) * 35.0 + 12;
}

QSizeF HomeGeometry::examBankPanelSize(double widestName, int bankCount)
{
    constexpr double padding = 6;
    if (bankCount <= 0)
        return {2 * padding, 2 * padding};
    const double name = std::isfinite(widestName) ? std::max(0.0, widestName) : 0.0;
    return {std::max(180.0, name + 68) + 2 * padding, bankCount * 35.0 - 3 + 2 * padding};
}

double HomeGeometry::realExamPanelHeight(int paperCount)
{
    return std::min(paperSlotMaximumHeight, std::max(paperCount, 1) * 37.0 + 12);
}

QRectF HomeGeometry::slot(const QRectF &anchor, double overlayWidth, double overlayHeight, double width, double height)
{
    const double half = width / 2;
    // max first, then min: in an overlay too narrow for both margins the
    // right one wins.
    const double centreX = std::min(overlayWidth - margin - half, std::max(margin + half, anchor.right() - half));
    const double top = anchor.bottom() + gapBelowSelector;
    // Never lower than one row: a tiny window still shows something to pick.
    const double available = overlayHeight - margin - top;
    const double capped = std::isfinite(available) ? std::max(std::min(height, available), std::min(height, 47.0))
                                                   : height;
    return QRectF(centreX - half, top, width, capped);
}

QRectF HomeGeometry::examBankSlot(const QRectF &anchor, double overlayWidth, double overlayHeight, int bankCount)
{
    return slot(anchor, overlayWidth, overlayHeight, bankSlotWidth, examBankPanelHeight(bankCount));
}

QRectF HomeGeometry::realExamSlot(const QRectF &anchor, double overlayWidth, double overlayHeight, int paperCount)
{
    return slot(anchor, overlayWidth, overlayHeight, paperSlotWidth, realExamPanelHeight(paperCount));
}

double HomeGeometry::settingsCardHeightFor(double availableHeight)
{
    if (!std::isfinite(availableHeight))
        return settingsCardHeight;
    return std::max(0.0, std::min(settingsCardHeight, availableHeight - 16));
}
