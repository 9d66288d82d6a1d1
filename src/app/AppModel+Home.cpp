#include "AppModel.h"

#include "app/JsonStringArrayEncoder.h"
#include "networking/APIClient.h"
#include "platform/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>

// Banks, practice type, practice settings and the menu tree of the home screen.
//
// A new home load supersedes the one in flight: the old one's results are
// dropped when they arrive and its share of the busy flag passes to the new
// one at once, so the flag neither stays up for a dropped reply nor drops
// while the current load runs.

QCoro::Task<> AppModel::loadHome()
{
    const SessionTicket ticket = sessionTicket();
    const quint64 generation = ++m_homeGeneration;
    const quint64 loading = beginLoading();
    if (m_homeLoadingToken)
        endLoading(m_homeLoadingToken);
    m_homeLoadingToken = loading;
    const auto isCurrent = [&ticket, generation, this] {
        return ticket.isCurrent() && m_homeGeneration == generation;
    };

    // Every request is built before its co_await: temporaries inside a
    // co_await expression are not safe with this compiler.
    const QString bankId = m_selectedExamBank.id;
    QCoro::Task<InitConfigResponse> configCall
        = client().getInitConfig(InitConfigRequest{bankId}, tokenText(), bankId);
    QCoro::Task<std::optional<InitConfigResponse>> configGuarded = guardedCall(std::move(configCall), ticket, loading, &AppModel::finishHomeLoad, isCurrent);
    const std::optional<InitConfigResponse> config = co_await std::move(configGuarded);
    if (!config)
        co_return;
    const QString bankBefore = m_selectedExamBank.id;
    applyExamBanks(config->examBankList);
    const bool bankReplaced = m_selectedExamBank.id != bankBefore;
    if (bankReplaced) {
        // The stored bank is gone: the old bank's papers go, as on a switch.
        supersedeRealExamsLoad();
        setRealExams({});
        setSelectedRealExam(std::nullopt);
        setPreparedRealExam(std::nullopt);
    }

    const ExamBank bank = m_selectedExamBank;
    const qint64 menuType = isXingCeBank() ? 2 : m_practiceType;
    QCoro::Task<QList<CardMenu>> menuCall
        = client().getCardMenu(CardMenuRequest{bank.id, menuType}, tokenText(), bank.id);
    QCoro::Task<std::optional<QList<CardMenu>>> treeGuarded = guardedCall(std::move(menuCall), ticket, loading, &AppModel::finishHomeLoad, isCurrent);
    const std::optional<QList<CardMenu>> tree = co_await std::move(treeGuarded);
    if (!tree)
        co_return;
    setMenus(*tree);
    finishHomeLoad(loading);
    // The replacing bank's papers belong to this load: a busy flag held by
    // its caller (a sign-in) must not turn them away.
    if (bankReplaced)
        co_await loadRealExamsUnchecked();
}

QCoro::Task<> AppModel::loadHomeThenRealExams()
{
    const SessionTicket ticket = sessionTicket();
    const quint64 papersBefore = m_realExamsLoadsStarted;
    co_await loadHome();
    if (!ticket.isCurrent() || m_realExamsLoadsStarted != papersBefore)
        co_return;
    // Not turned away by the busy flag: right after a sign-in the sign-in's
    // own home load still holds it, and this is the papers' only load.
    co_await loadRealExamsUnchecked();
}

void AppModel::finishHomeLoad(quint64 loadingToken)
{
    if (m_homeLoadingToken == loadingToken)
        m_homeLoadingToken = 0;
    endLoading(loadingToken);
}

void AppModel::applyExamBanks(const QList<ExamBank> &banks)
{
    QList<ExamBank> filtered;
    QSet<QString> seen;
    for (const ExamBank &bank : banks) {
        if (bank.id.trimmed().isEmpty() || bank.name.trimmed().isEmpty() || seen.contains(bank.id))
            continue;
        seen.insert(bank.id);
        filtered.append(bank);
    }
    if (filtered.isEmpty())
        return;

    setExamBanks(filtered);
    bool matched = false;
    for (const ExamBank &bank : std::as_const(filtered)) {
        if (bank.id == m_selectedExamBank.id) {
            setSelectedExamBank(bank);
            matched = true;
            break;
        }
    }
    if (!matched) {
        setSelectedExamBank(filtered.first());
        defaults().setValue(examBankKey, filtered.first().id);
    }
    defaults().setValue(examBankListCacheKey,
                        QJsonDocument(encodeList(filtered)).toJson(QJsonDocument::Compact));
}

QCoro::Task<> AppModel::selectExamBank(const ExamBank &bankArgument)
{
    const ExamBank bank = bankArgument;
    if (bank == m_selectedExamBank)
        co_return;
    const SessionTicket ticket = sessionTicket();
    const quint64 switchGeneration = ++m_bankSwitchGeneration;

    setSelectedExamBank(bank);
    defaults().setValue(examBankKey, bank.id);
    setMenus({});
    setRealExams({});
    setSelectedRealExam(std::nullopt);
    setPreparedRealExam(std::nullopt);

    // The home load starts (and takes the busy flag) before the past-paper
    // load of the old bank lets go of it.
    QCoro::Task<> home = loadHome();
    supersedeRealExamsLoad();
    co_await std::move(home);
    if (!ticket.isCurrent() || m_bankSwitchGeneration != switchGeneration)
        co_return;
    co_await loadRealExams();
}

void AppModel::supersedeRealExamsLoad()
{
    ++m_realExamsGeneration;
    if (m_realExamsLoadingToken) {
        const quint64 token = m_realExamsLoadingToken;
        m_realExamsLoadingToken = 0;
        endLoading(token);
    }
}

QCoro::Task<> AppModel::selectPracticeType(qint64 type)
{
    if (isXingCeBank() || (type != 1 && type != 2) || type == m_practiceType)
        co_return;
    setPracticeType(type);
    defaults().setValue(practiceTypeKey, type);
    setMenus({});
    setNoticeMessage(type == 1 ? QStringLiteral("已切换到按题型刷题") : QStringLiteral("已切换到按知识点刷题"));
    co_await loadHome();
}

bool AppModel::updateExamSettings(ExamMode mode, qint64 questionCount, const QuestionKeyboardShortcuts &keyboardShortcuts)
{
    if (!examQuestionCountOptions().contains(questionCount) || !keyboardShortcuts.isValid())
        return false;
    setExamMode(mode);
    setExamQuestionCount(questionCount);
    setQuestionKeyboardShortcuts(keyboardShortcuts);
    defaults().setValue(examModeKey, ExamModes::rawValue(mode));
    defaults().setValue(examQuestionCountKey, questionCount);
    setNoticeMessage(QStringLiteral("已设置为") + (mode == ExamMode::practice ? QStringLiteral("做题模式") : QStringLiteral("背题模式"))
                     + QStringLiteral("，每组 ") + QString::number(questionCount) + QStringLiteral(" 道"));
    return true;
}

QString AppModel::menuPath(const CardMenu &menu, const QString &parent) const
{
    const QStringList elements{
        APIEnvironments::rawValue(m_apiEnvironment),
        m_selectedExamBank.id,
        QString::number(m_practiceType),
        parent,
        QString::number(QuestionTypes::rawValue(menu.questionType)),
        menu.menuId,
    };
    return JsonStringArrayEncoder::encode(elements).value_or(parent);
}

void AppModel::toggleMenuRow(int row)
{
    const QModelIndex index = m_menuTreeModel->index(row);
    if (!index.isValid())
        return;
    // Top-level cards count a missing entry as expanded, deeper rows as collapsed.
    const bool topLevel = index.data(MenuTreeModel::DepthRole).toInt() == 0;
    toggleMenu(index.data(MenuTreeModel::PathRole).toString(), topLevel);
}

void AppModel::toggleMenu(const QString &path, bool defaultValue)
{
    QHash<QString, bool> states = m_menuExpansionStates;
    const bool current = states.value(path, defaultValue);
    states.insert(path, !current);
    setMenuExpansionStates(states);
    // Written at once and whole: a toggle survives the program ending right
    // after it, and states of other banks and types stay stored.
    QVariantMap stored;
    for (auto it = m_menuExpansionStates.cbegin(); it != m_menuExpansionStates.cend(); ++it)
        stored.insert(it.key(), it.value());
    defaults().setValue(QStringLiteral("home_menu_expansion"), stored);
}

namespace {
bool namesGraphicReasoning(const QString &name)
{
    return name.contains(QStringLiteral("图形推理")) || name.contains(QStringLiteral("图推"));
}
} // namespace

bool AppModel::isGraphicReasoningQuestion(const Question &question) const
{
    if (m_selectedMenu && namesGraphicReasoning(m_selectedMenu->name))
        return true;
    return menuContainsGraphicReasoning(m_menus + m_collectionMenus, question.menuId, false);
}

bool AppModel::menuContainsGraphicReasoning(const QList<CardMenu> &menus, const QString &targetMenuID,
                                            bool inheritedGraphicReasoning)
{
    for (const CardMenu &menu : menus) {
        const bool flag = inheritedGraphicReasoning || namesGraphicReasoning(menu.name);
        if (menu.menuId == targetMenuID)
            return flag;
        if (menuContainsGraphicReasoning(menu.children, targetMenuID, flag))
            return true;
    }
    return false;
}
