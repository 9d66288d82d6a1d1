// The fixture state of the fake service (tests/data/fake/, compiled in as
// resources under ":/fake") and the answering logs built on it.

#include "FakeAnsweringLog.h"

#include "platform/Clock.h"

#include <QFile>
#include <QJsonDocument>

namespace {

constexpr qint64 dayMs = 24 * 3600 * 1000LL;

QJsonValue readFixture(const QString &name)
{
    QFile file(QStringLiteral(":/fake/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcFakeService) << "missing fixture" << name;
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCWarning(lcFakeService) << "bad fixture" << name << error.errorString();
        return {};
    }
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

} // namespace

void FakeService::loadFixtures()
{
    const qint64 now = Clock::shared().nowMilliseconds();
    m_examBanks = readFixture(QStringLiteral("examBanks.json")).toArray();
    m_menus = readFixture(QStringLiteral("cardMenus.json")).toObject();
    m_questionPools = readFixture(QStringLiteral("questions.json")).toObject();
    m_realExams = readFixture(QStringLiteral("realExams.json")).toObject();

    m_membership = {};
    for (const QJsonValue &value : readFixture(QStringLiteral("membership.json")).toArray()) {
        const QJsonObject item = value.toObject();
        m_membership.append(QJsonObject{
            {QStringLiteral("examBankId"), item.value(QStringLiteral("examBankId"))},
            {QStringLiteral("expireTime"), now + qint64(item.value(QStringLiteral("expireInDays")).toInt()) * dayMs}});
    }

    m_collected.clear();
    for (const QJsonValue &id : readFixture(QStringLiteral("collections.json")).toArray())
        m_collected.insert(id.toString());

    m_logs.clear();
    m_commitCounts.clear();
    m_lastOpenedLogId.clear();
    m_idCounter = 1000;
    for (const QJsonValue &value : readFixture(QStringLiteral("history.json")).toArray()) {
        const QJsonObject seed = value.toObject();
        auto log = std::make_shared<Log>();
        log->id = seed.value(QStringLiteral("id")).toString();
        log->bankId = seed.value(QStringLiteral("examBankId")).toString();
        log->examType = seed.value(QStringLiteral("examType")).toInt(1);
        log->name = seed.value(QStringLiteral("examName")).toString();
        log->examId = seed.value(QStringLiteral("examId")).toString();
        log->status = seed.value(QStringLiteral("examStatus")).toInt(1);
        log->beginTime = now - qint64(seed.value(QStringLiteral("beginHoursAgo")).toInt()) * 3600 * 1000;
        log->costTime = seed.value(QStringLiteral("costTime")).toInteger();
        QStringList questionIds;
        for (const QJsonValue &id : seed.value(QStringLiteral("questionIds")).toArray())
            questionIds.append(id.toString());
        const QString paperId = seed.value(QStringLiteral("paperId")).toString();
        if (!paperId.isEmpty()) {
            for (const QJsonValue &paper : m_realExams.value(log->bankId).toArray()) {
                if (paper.toObject().value(QStringLiteral("id")).toString() != paperId)
                    continue;
                for (const QJsonValue &id : paper.toObject().value(QStringLiteral("questionIds")).toArray())
                    questionIds.append(id.toString());
                log->extraInfo = QString::fromUtf8(
                    QJsonDocument(paper.toObject().value(QStringLiteral("sections")).toArray())
                        .toJson(QJsonDocument::Compact));
            }
        }
        const QJsonArray pool = m_questionPools.value(log->bankId).toObject().value(QStringLiteral("questionList")).toArray();
        for (const QString &id : std::as_const(questionIds)) {
            for (const QJsonValue &question : pool) {
                if (question.toObject().value(QStringLiteral("id")).toString() == id)
                    log->questions.append(question);
            }
        }
        log->materials = materialsFor(log->bankId, log->questions);
        const QJsonObject answers = seed.value(QStringLiteral("answers")).toObject();
        for (auto it = answers.begin(); it != answers.end(); ++it)
            log->answers.insert(it.key(), it.value().toString());
        if (log->status == 2) {
            log->commitTime = log->beginTime + log->costTime * 1000;
            for (const QJsonValue &question : std::as_const(log->questions)) {
                const QJsonObject q = question.toObject();
                const QString given = log->answers.value(q.value(QStringLiteral("id")).toString());
                if (given.isEmpty())
                    ++log->unanswered;
                else if (FakeMarking::isRight(q, given))
                    ++log->right;
                else
                    ++log->wrong;
            }
        }
        m_logs.append(log);
    }
}

QString FakeService::newId(const char *prefix)
{
    return QLatin1String(prefix) + QString::number(++m_idCounter);
}

QJsonObject FakeService::questionWithState(const QJsonObject &question) const
{
    QJsonObject out = question;
    out.insert(QStringLiteral("isCollect"), m_collected.contains(question.value(QStringLiteral("id")).toString()));
    return out;
}

QJsonArray FakeService::materialsFor(const QString &bankId, const QJsonArray &questions) const
{
    QSet<QString> wanted;
    for (const QJsonValue &question : questions) {
        const QString id = question.toObject().value(QStringLiteral("materialsId")).toString();
        if (!id.isEmpty())
            wanted.insert(id);
    }
    QJsonArray out;
    for (const QJsonValue &material : m_questionPools.value(bankId).toObject().value(QStringLiteral("materialsList")).toArray()) {
        if (wanted.contains(material.toObject().value(QStringLiteral("id")).toString()))
            out.append(material);
    }
    return out;
}

QJsonArray FakeService::historyLogs() const
{
    QJsonArray out;
    for (const auto &log : m_logs) {
        QJsonObject answers;
        for (auto it = log->answers.cbegin(); it != log->answers.cend(); ++it)
            answers.insert(it.key(), it.value());
        out.append(QJsonObject{{QStringLiteral("id"), log->id},
                               {QStringLiteral("examBankId"), log->bankId},
                               {QStringLiteral("examType"), log->examType},
                               {QStringLiteral("examStatus"), log->status},
                               {QStringLiteral("costTime"), log->costTime},
                               {QStringLiteral("answers"), answers}});
    }
    return out;
}

bool FakeService::hasValidMembership(const QString &bankId) const
{
    const qint64 now = Clock::shared().nowMilliseconds();
    for (const QJsonValue &value : m_membership) {
        const QJsonObject item = value.toObject();
        if (item.value(QStringLiteral("examBankId")).toString() == bankId
            && item.value(QStringLiteral("expireTime")).toInteger() > now)
            return true;
    }
    return false;
}
