#include "HomeText.h"

HomeText::HomeText(QObject *parent)
    : QObject(parent)
{
}

QString HomeText::modeTitle(int mode)
{
    return mode == 1 ? QStringLiteral("背题模式") : QStringLiteral("做题模式");
}

QString HomeText::settingsButtonTitle(int mode, int questionCount)
{
    return modeTitle(mode) + QStringLiteral(" · ") + QString::number(questionCount) + QStringLiteral("题");
}

QString HomeText::practiceSectionTitle(bool isXingCeBank, int practiceType)
{
    return !isXingCeBank && practiceType == 1 ? QStringLiteral("按题型刷题") : QStringLiteral("按知识点刷题");
}

bool HomeText::isLocked(int needVip, bool hasMembership)
{
    return needVip == 1 && !hasMembership;
}

QString HomeText::menuCountText(int done, int total)
{
    return QString::number(done) + QLatin1Char('/') + QString::number(total);
}

QString HomeText::menuRowToolTip(const QString &name)
{
    return QStringLiteral("进入") + name + QStringLiteral("做题");
}

QString HomeText::questionCountText(int count)
{
    return QString::number(count) + QStringLiteral(" 道");
}
