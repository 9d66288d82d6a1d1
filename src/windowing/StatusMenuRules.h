#pragma once

#include <QString>

// The rules of the status item's menu and of every show/hide toggle.
namespace StatusMenuRules {

inline const QString showTitle = QStringLiteral("显示主窗口");
inline const QString hideTitle = QStringLiteral("隐藏主窗口");
inline const QString quitTitle = QStringLiteral("退出澜舟题阁");
inline const QString toolTip = QStringLiteral("vuzo");

// Shown = a panel exists, is on screen and is not minimised. A toggle hides
// a shown panel and shows it in every other case (a minimised panel included).
[[nodiscard]] inline bool isPanelShown(bool hasPanel, bool visible, bool minimized)
{
    return hasPanel && visible && !minimized;
}

[[nodiscard]] inline bool toggleHides(bool hasPanel, bool visible, bool minimized)
{
    return isPanelShown(hasPanel, visible, minimized);
}

[[nodiscard]] inline QString toggleTitle(bool hasPanel, bool visible, bool minimized)
{
    return isPanelShown(hasPanel, visible, minimized) ? hideTitle : showTitle;
}

} // namespace StatusMenuRules
