#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// The home screen's composed texts and its lock rule.
class HomeText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit HomeText(QObject *parent = nullptr);

    // "做题模式" (0) or "背题模式" (1; any other value reads as practice).
    Q_INVOKABLE static QString modeTitle(int mode);
    // The settings button: "做题模式 · 5题".
    Q_INVOKABLE static QString settingsButtonTitle(int mode, int questionCount);
    // The practice section's title: by knowledge point for a 行测 bank or type 2.
    Q_INVOKABLE static QString practiceSectionTitle(bool isXingCeBank, int practiceType);
    // A members-only item (needVip 1) shows its lock while the user holds no
    // membership for the selected bank; no other needVip value ever locks.
    Q_INVOKABLE static bool isLocked(int needVip, bool hasMembership);
    // "3/20".
    Q_INVOKABLE static QString menuCountText(int done, int total);
    // "进入" + name + "做题".
    Q_INVOKABLE static QString menuRowToolTip(const QString &name);
    // "15 道".
    Q_INVOKABLE static QString questionCountText(int count);
};
