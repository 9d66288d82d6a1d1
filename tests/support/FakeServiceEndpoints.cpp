// The fifteen business endpoints of the fake service.

#include "FakeAnsweringLog.h"
#include "FakeHeavySet.h"
#include "FakeLargeSet.h"

#include "platform/Clock.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace {

void fail(QJsonValue &data, bool &success, QJsonValue &code, QJsonValue &message, const QString &errCode,
          const QString &errMessage)
{
    data = QJsonValue::Undefined;
    success = false;
    code = errCode;
    message = errMessage;
}

QString formatTime(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The node with this id anywhere in a menu tree, or an empty object.
QJsonObject findNode(const QJsonArray &nodes, const QString &id)
{
    for (const QJsonValue &value : nodes) {
        const QJsonObject node = value.toObject();
        if (node.value(QStringLiteral("id")).toString() == id)
            return node;
        const QJsonObject found = findNode(node.value(QStringLiteral("children")).toArray(), id);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// The ids of a node and of every node below it.
void collectIds(const QJsonObject &node, QSet<QString> &ids)
{
    ids.insert(node.value(QStringLiteral("id")).toString());
    for (const QJsonValue &child : node.value(QStringLiteral("children")).toArray())
        collectIds(child.toObject(), ids);
}

} // namespace

#define FAIL(code, message)                                                                                    \
    do {                                                                                                       \
        fail(reply.data, reply.success, reply.errCode, reply.errMessage, QStringLiteral(code), message);      \
        return;                                                                                                \
    } while (false)

// Strict readers of request members: a missing or mistyped member fails the call with "400".
#define REQUIRE_STRING(name, key)                                                                              \
    const QJsonValue name##Value = body.value(QStringLiteral(key));                                            \
    if (!name##Value.isString())                                                                               \
        FAIL("400", QStringLiteral("参数错误：" key));                                                          \
    const QString name = name##Value.toString()

#define REQUIRE_INT(name, key)                                                                                 \
    const QJsonValue name##Value = body.value(QStringLiteral(key));                                            \
    if (!name##Value.isDouble() || name##Value.toDouble() != double(name##Value.toInteger()))                  \
        FAIL("400", QStringLiteral("参数错误：" key));                                                          \
    const qint64 name = name##Value.toInteger()

void FakeService::dispatch(const QString &path, const QJsonObject &body, const QString &examBankId, Reply &reply)
{
    Q_UNUSED(examBankId); // every endpoint takes its bank from the body
    if (path == QLatin1String("/user/sendVerifyCode"))
        sendVerifyCode(body, reply);
    else if (path == QLatin1String("/user/loginByVerifyCode"))
        loginByVerifyCode(body, reply);
    else if (path == QLatin1String("/user/getUserVipExpireTimeList"))
        vipExpireTimeList(reply);
    else if (path == initConfigPath)
        initConfig(reply);
    else if (path == QLatin1String("/common/getCardMenu"))
        cardMenu(body, reply);
    else if (path == QLatin1String("/common/getUserCollectCardMenu"))
        collectCardMenu(body, reply);
    else if (path == QLatin1String("/exam/getQuestionByMenuId"))
        questionByMenuId(body, reply);
    else if (path == QLatin1String("/exam/getRealExamList"))
        realExamList(body, reply);
    else if (path == QLatin1String("/exam/getRealExamDetailAndJoinExam"))
        realExamDetail(body, reply);
    else if (path == QLatin1String("/exam/commitExam"))
        commitExam(body, reply);
    else if (path == QLatin1String("/userExam/getUserExamLogDetail"))
        examLogDetail(body, reply);
    else if (path == QLatin1String("/userExam/getUserExamLogList"))
        examLogList(body, reply);
    else if (path == QLatin1String("/userExam/delUserExamLog"))
        deleteExamLogs(body, reply);
    else if (path == QLatin1String("/userExam/getUserCollectList"))
        collectList(body, reply);
    else if (path == QLatin1String("/userExam/manageUserCollect"))
        manageCollect(body, reply);
}

void FakeService::sendVerifyCode(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(mobile, "mobile");
    static const QRegularExpression elevenDigits(QStringLiteral("^1[0-9]{10}$"));
    if (!elevenDigits.match(mobile).hasMatch())
        FAIL("1001", QStringLiteral("手机号格式不正确"));
    qCInfo(lcFakeService).noquote() << "SMS code:" << verificationCode;
    Q_EMIT verificationCodeSent(verificationCode);
    reply.data = true;
}

void FakeService::loginByVerifyCode(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(mobile, "mobile");
    REQUIRE_STRING(code, "verifyCode");
    static const QRegularExpression elevenDigits(QStringLiteral("^1[0-9]{10}$"));
    if (!elevenDigits.match(mobile).hasMatch())
        FAIL("1001", QStringLiteral("手机号格式不正确"));
    if (code != verificationCode)
        FAIL("1002", QStringLiteral("验证码错误或已过期"));
    const QString token = issueToken(mobile);
    // A stable user id per number, so that a second sign-in is the same user.
    const QString userId = QString::number(10000 + qHash(mobile) % 90000);
    reply.data = QJsonObject{{QStringLiteral("id"), userId},
                             {QStringLiteral("mobile"), mobile},
                             {QStringLiteral("token"), token}};
}

void FakeService::vipExpireTimeList(Reply &reply)
{
    reply.data = QJsonObject{{QStringLiteral("currentTime"), Clock::shared().nowMilliseconds()},
                             {QStringLiteral("userVipList"), m_membership}};
}

void FakeService::initConfig(Reply &reply)
{
    QJsonObject security{{QStringLiteral("ecdhEnabled"), m_sessionModeEnabled}};
    security.insert(QStringLiteral("handshakePath"), m_handshakePath);
    reply.data = QJsonObject{{QStringLiteral("examBankList"), m_examBanks},
                             {QStringLiteral("security"), security}};
}

void FakeService::cardMenu(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "id");
    REQUIRE_INT(type, "type");
    if (type != 1 && type != 2)
        FAIL("400", QStringLiteral("参数错误：type"));

    const QJsonArray pool = m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray();
    QSet<QString> worked;
    for (const auto &log : std::as_const(m_logs)) {
        if (log->bankId != bankId || log->status != 2)
            continue;
        for (auto it = log->answers.cbegin(); it != log->answers.cend(); ++it) {
            if (!it.value().isEmpty())
                worked.insert(it.key());
        }
    }
    // Counts follow the question pool and the completed sets, so they move as the user practises.
    std::function<QJsonArray(const QJsonArray &)> decorate = [&](const QJsonArray &nodes) {
        QJsonArray out;
        for (const QJsonValue &value : nodes) {
            QJsonObject node = value.toObject();
            QSet<QString> ids;
            collectIds(node, ids);
            const bool byType = node.value(QStringLiteral("menuType")).toInt() == 1;
            const int questionType = node.value(QStringLiteral("questionType")).toInt();
            int count = 0;
            int workCount = 0;
            for (const QJsonValue &question : pool) {
                const QJsonObject q = question.toObject();
                const bool inMenu = byType ? q.value(QStringLiteral("questionType")).toInt() == questionType
                                           : ids.contains(q.value(QStringLiteral("menuId")).toString());
                if (!inMenu)
                    continue;
                ++count;
                if (worked.contains(q.value(QStringLiteral("id")).toString()))
                    ++workCount;
            }
            node.insert(QStringLiteral("cnt"), count);
            node.insert(QStringLiteral("userWorkCnt"), workCount);
            node.insert(QStringLiteral("children"), decorate(node.value(QStringLiteral("children")).toArray()));
            out.append(node);
        }
        return out;
    };
    reply.data = decorate(m_menus.value(bankId).toObject().value(QString::number(type)).toArray());
}

void FakeService::collectCardMenu(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "id");
    const QJsonArray pool = m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray();
    // Folders are the knowledge-point menus that hold collected questions.
    std::function<QJsonArray(const QJsonArray &)> folders = [&](const QJsonArray &nodes) {
        QJsonArray out;
        for (const QJsonValue &value : nodes) {
            const QJsonObject node = value.toObject();
            QSet<QString> ids;
            collectIds(node, ids);
            int count = 0;
            for (const QJsonValue &question : pool) {
                const QJsonObject q = question.toObject();
                if (ids.contains(q.value(QStringLiteral("menuId")).toString())
                    && m_collected.contains(q.value(QStringLiteral("id")).toString()))
                    ++count;
            }
            if (count == 0)
                continue;
            QJsonObject folder = node;
            folder.insert(QStringLiteral("cnt"), count);
            folder.insert(QStringLiteral("userWorkCnt"), 0);
            folder.insert(QStringLiteral("needVip"), 0);
            folder.insert(QStringLiteral("children"), folders(node.value(QStringLiteral("children")).toArray()));
            out.append(folder);
        }
        return out;
    };
    reply.data = folders(m_menus.value(bankId).toObject().value(QStringLiteral("2")).toArray());
}

void FakeService::questionByMenuId(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_STRING(menuId, "menuId");
    REQUIRE_INT(pageSize, "pageSize");
    REQUIRE_INT(questionType, "questionType");
    if (pageSize < 1 || pageSize > 200)
        FAIL("400", QStringLiteral("参数错误：pageSize"));

    const QJsonObject trees = m_menus.value(bankId).toObject();
    QJsonObject node = findNode(trees.value(QStringLiteral("2")).toArray(), menuId);
    if (node.isEmpty())
        node = findNode(trees.value(QStringLiteral("1")).toArray(), menuId);
    if (node.isEmpty())
        FAIL("1003", QStringLiteral("练习目录不存在"));
    if (node.value(QStringLiteral("needVip")).toInt() == 1 && !hasValidMembership(bankId))
        FAIL("403", QStringLiteral("当前题库需要会员权限"));

    QJsonArray questions;
    QJsonArray materials;
    if (m_largeSetMenus.contains(menuId) || m_heavySetMenus.contains(menuId)) {
        const QJsonObject set = m_heavySetMenus.contains(menuId) ? FakeHeavySet::questionModel(baseUrl())
                                                                 : FakeLargeSet::questionModel(baseUrl());
        questions = set.value(QStringLiteral("questionList")).toArray();
        materials = set.value(QStringLiteral("materialsList")).toArray();
    } else {
        QSet<QString> ids;
        collectIds(node, ids);
        const bool byType = node.value(QStringLiteral("menuType")).toInt() == 1;
        const int nodeType = node.value(QStringLiteral("questionType")).toInt();
        for (const QJsonValue &value : m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray()) {
            const QJsonObject q = value.toObject();
            const int type = q.value(QStringLiteral("questionType")).toInt();
            const bool inMenu = byType ? type == nodeType : ids.contains(q.value(QStringLiteral("menuId")).toString());
            if (!inMenu || (questionType != 0 && type != questionType))
                continue;
            if (questions.size() >= pageSize)
                break;
            questions.append(q);
        }
        materials = materialsFor(bankId, questions);
    }

    auto log = std::make_shared<Log>();
    log->id = newId("ue");
    log->bankId = bankId;
    log->name = node.value(QStringLiteral("name")).toString();
    log->examId = menuId;
    log->questions = questions;
    log->materials = materials;
    log->beginTime = Clock::shared().nowMilliseconds();
    m_logs.append(log);
    m_lastOpenedLogId = log->id;

    QJsonArray stated;
    for (const QJsonValue &q : std::as_const(questions))
        stated.append(questionWithState(q.toObject()));
    reply.data = QJsonObject{{QStringLiteral("materialsList"), log->materials},
                             {QStringLiteral("questionList"), stated},
                             {QStringLiteral("userExamId"), log->id},
                             {QStringLiteral("title"), log->name}};
}

void FakeService::realExamList(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_INT(current, "current");
    REQUIRE_INT(pageSize, "pageSize");
    if (current < 1 || pageSize < 1 || pageSize > 200)
        FAIL("400", QStringLiteral("参数错误：分页"));
    const QJsonArray papers = m_realExams.value(bankId).toArray();
    QJsonArray page;
    const qint64 first = (current - 1) * pageSize;
    for (qint64 i = first; i < papers.size() && i < first + pageSize; ++i) {
        const QJsonObject paper = papers.at(i).toObject();
        page.append(QJsonObject{{QStringLiteral("id"), paper.value(QStringLiteral("id"))},
                                {QStringLiteral("name"), paper.value(QStringLiteral("name"))},
                                {QStringLiteral("needVip"), paper.value(QStringLiteral("needVip"))},
                                {QStringLiteral("questionCnt"), paper.value(QStringLiteral("questionIds")).toArray().size()}});
    }
    reply.data = page;
}

void FakeService::realExamDetail(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_STRING(paperId, "id");
    QJsonObject paper;
    for (const QJsonValue &value : m_realExams.value(bankId).toArray()) {
        if (value.toObject().value(QStringLiteral("id")).toString() == paperId)
            paper = value.toObject();
    }
    if (paper.isEmpty())
        FAIL("1004", QStringLiteral("试卷不存在"));
    if (paper.value(QStringLiteral("needVip")).toInt() == 1 && !hasValidMembership(bankId))
        FAIL("403", QStringLiteral("当前题库需要会员权限"));

    const QJsonArray pool = m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray();
    QJsonArray questions;
    for (const QJsonValue &id : paper.value(QStringLiteral("questionIds")).toArray()) {
        for (const QJsonValue &question : pool) {
            if (question.toObject().value(QStringLiteral("id")).toString() == id.toString())
                questions.append(question);
        }
    }
    auto log = std::make_shared<Log>();
    log->id = newId("ue");
    log->bankId = bankId;
    log->examType = 2;
    log->name = paper.value(QStringLiteral("name")).toString();
    log->examId = paperId;
    log->questions = questions;
    log->materials = materialsFor(bankId, questions);
    log->extraInfo = QString::fromUtf8(
        QJsonDocument(paper.value(QStringLiteral("sections")).toArray()).toJson(QJsonDocument::Compact));
    log->beginTime = Clock::shared().nowMilliseconds();
    m_logs.append(log);
    m_lastOpenedLogId = log->id;

    QJsonArray stated;
    for (const QJsonValue &q : std::as_const(questions))
        stated.append(questionWithState(q.toObject()));
    reply.data = QJsonObject{{QStringLiteral("id"), paperId},
                             {QStringLiteral("name"), log->name},
                             {QStringLiteral("remark"), paper.value(QStringLiteral("remark"))},
                             {QStringLiteral("materialsList"), log->materials},
                             {QStringLiteral("questionList"), stated},
                             {QStringLiteral("userExamLogId"), log->id},
                             {QStringLiteral("extraInfo"), log->extraInfo}};
}

void FakeService::commitExam(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(logId, "userExamId");
    REQUIRE_INT(costTime, "costTime");
    const QJsonValue list = body.value(QStringLiteral("userAnswerList"));
    if (!list.isArray() || costTime < 0)
        FAIL("400", QStringLiteral("参数错误：userAnswerList"));
    const auto found = std::find_if(m_logs.cbegin(), m_logs.cend(), [&](const auto &log) { return log->id == logId; });
    if (found == m_logs.cend())
        FAIL("1005", QStringLiteral("练习记录不存在"));

    QHash<QString, QString> answers;
    for (const QJsonValue &value : list.toArray()) {
        const QJsonObject item = value.toObject();
        const QJsonValue questionId = item.value(QStringLiteral("questionId"));
        const QJsonValue userAnswer = item.value(QStringLiteral("userAnswer"));
        const QJsonValue useTime = item.value(QStringLiteral("useTime"));
        if (!value.isObject() || !questionId.isString() || !userAnswer.isString() || !useTime.isDouble())
            FAIL("400", QStringLiteral("参数错误：userAnswerList"));
        answers.insert(questionId.toString(), userAnswer.toString());
    }

    Log &log = **found;
    log.answers = answers;
    log.costTime = costTime;
    log.status = 2;
    log.commitTime = Clock::shared().nowMilliseconds();
    m_commitCounts[log.id] += 1;
    log.right = log.wrong = log.unanswered = 0;
    for (const QJsonValue &question : std::as_const(log.questions)) {
        const QJsonObject q = question.toObject();
        const QString given = answers.value(q.value(QStringLiteral("id")).toString());
        if (given.trimmed().isEmpty())
            ++log.unanswered;
        else if (FakeMarking::isRight(q, given))
            ++log.right;
        else
            ++log.wrong;
    }
    reply.data = QJsonObject{{QStringLiteral("rightNum"), log.right},
                             {QStringLiteral("useTime"), QString::number(log.costTime)},
                             {QStringLiteral("wrongNum"), log.wrong},
                             {QStringLiteral("unAnswerNum"), log.unanswered}};
}

void FakeService::examLogDetail(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(logId, "id");
    const auto found = std::find_if(m_logs.cbegin(), m_logs.cend(), [&](const auto &log) { return log->id == logId; });
    if (found == m_logs.cend())
        FAIL("1005", QStringLiteral("练习记录不存在"));
    const Log &log = **found;
    m_lastOpenedLogId = log.id;
    QJsonArray questions;
    for (const QJsonValue &question : log.questions) {
        QJsonObject q = questionWithState(question.toObject());
        q.insert(QStringLiteral("userAnswer"), log.answers.value(q.value(QStringLiteral("id")).toString()));
        questions.append(q);
    }
    QJsonObject report{{QStringLiteral("rightNum"), log.right},
                       {QStringLiteral("useTime"), QString::number(log.costTime)},
                       {QStringLiteral("wrongNum"), log.wrong},
                       {QStringLiteral("unAnswerNum"), log.unanswered},
                       {QStringLiteral("commitTime"), log.status == 2 ? formatTime(log.commitTime) : QString()},
                       {QStringLiteral("title"), log.name},
                       {QStringLiteral("examId"), log.examId},
                       {QStringLiteral("logId"), log.id},
                       {QStringLiteral("materialsList"), log.materials},
                       {QStringLiteral("questionList"), questions}};
    report.insert(QStringLiteral("extraInfo"), log.extraInfo.isEmpty() ? QJsonValue::Null : QJsonValue(log.extraInfo));
    reply.data = report;
}

void FakeService::examLogList(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_INT(current, "current");
    REQUIRE_INT(pageSize, "pageSize");
    REQUIRE_INT(examType, "examType");
    if (current < 1 || pageSize < 1 || pageSize > 200)
        FAIL("400", QStringLiteral("参数错误：分页"));
    QList<std::shared_ptr<Log>> rows;
    for (const auto &log : std::as_const(m_logs)) {
        if (log->bankId == bankId && log->examType == examType)
            rows.append(log);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a->beginTime > b->beginTime; });
    QJsonArray page;
    const qint64 first = (current - 1) * pageSize;
    for (qint64 i = first; i < rows.size() && i < first + pageSize; ++i) {
        const Log &log = *rows.at(i);
        page.append(QJsonObject{{QStringLiteral("id"), log.id},
                                {QStringLiteral("examBankId"), log.bankId},
                                {QStringLiteral("examName"), log.name},
                                {QStringLiteral("examId"), log.examId},
                                {QStringLiteral("rightNum"), log.right},
                                {QStringLiteral("wrongNum"), log.wrong},
                                {QStringLiteral("unAnswerNum"), log.unanswered},
                                {QStringLiteral("examStatus"), log.status},
                                {QStringLiteral("beginTime"), QString::number(log.beginTime)}});
    }
    reply.data = page;
}

void FakeService::deleteExamLogs(const QJsonObject &body, Reply &reply)
{
    const QJsonValue ids = body.value(QStringLiteral("ids"));
    if (!ids.isArray())
        FAIL("400", QStringLiteral("参数错误：ids"));
    QSet<QString> doomed;
    for (const QJsonValue &id : ids.toArray()) {
        if (!id.isString())
            FAIL("400", QStringLiteral("参数错误：ids"));
        doomed.insert(id.toString());
    }
    m_logs.removeIf([&](const auto &log) { return doomed.contains(log->id); });
    reply.data = true;
}

void FakeService::collectList(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_INT(current, "current");
    REQUIRE_INT(pageSize, "pageSize");
    REQUIRE_STRING(menuId, "menuId");
    if (current < 1 || pageSize < 1 || pageSize > 1000)
        FAIL("400", QStringLiteral("参数错误：分页"));
    const QJsonObject node = findNode(m_menus.value(bankId).toObject().value(QStringLiteral("2")).toArray(), menuId);
    QSet<QString> ids;
    if (!node.isEmpty())
        collectIds(node, ids);
    QJsonArray matching;
    for (const QJsonValue &value : m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray()) {
        const QJsonObject q = value.toObject();
        if (ids.contains(q.value(QStringLiteral("menuId")).toString())
            && m_collected.contains(q.value(QStringLiteral("id")).toString()))
            matching.append(questionWithState(q));
    }
    QJsonArray page;
    const qint64 first = (current - 1) * pageSize;
    for (qint64 i = first; i < matching.size() && i < first + pageSize; ++i)
        page.append(matching.at(i));
    reply.data = QJsonObject{{QStringLiteral("materialsList"), materialsFor(bankId, page)},
                             {QStringLiteral("questionList"), page},
                             {QStringLiteral("title"), node.value(QStringLiteral("name")).toString()}};
}

void FakeService::manageCollect(const QJsonObject &body, Reply &reply)
{
    REQUIRE_STRING(bankId, "examBankId");
    REQUIRE_STRING(questionId, "questionId");
    const QJsonValue collect = body.value(QStringLiteral("collect"));
    if (!collect.isBool())
        FAIL("400", QStringLiteral("参数错误：collect"));
    bool known = false;
    for (const QJsonValue &value : m_questionPools.value(bankId).toObject().value(QStringLiteral("questionList")).toArray())
        known = known || value.toObject().value(QStringLiteral("id")).toString() == questionId;
    if (!known)
        FAIL("1006", QStringLiteral("题目不存在"));
    if (collect.toBool())
        m_collected.insert(questionId);
    else
        m_collected.remove(questionId);
    reply.data = true;
}
