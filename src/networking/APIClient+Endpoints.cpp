#include "APIClient.h"

// One entry per service call: the path, the body and the result type of the
// catalogue, always with security retry allowed. The sign-in calls never send
// a token.

QCoro::Task<bool> APIClient::sendVerifyCode(SendVerifyCodeRequest body, QString examBankId)
{
    return request<bool>(QStringLiteral("/user/sendVerifyCode"), std::move(body), QString(), std::move(examBankId),
                         true);
}

QCoro::Task<LoginResponse> APIClient::loginByVerifyCode(LoginRequest body, QString examBankId)
{
    return request<LoginResponse>(QStringLiteral("/user/loginByVerifyCode"), std::move(body), QString(),
                                  std::move(examBankId), true);
}

QCoro::Task<VIPStatusResponse> APIClient::getUserVipExpireTimeList(QString token, QString examBankId)
{
    return request<VIPStatusResponse>(QStringLiteral("/user/getUserVipExpireTimeList"), EmptyRequest {},
                                      std::move(token), std::move(examBankId), true);
}

QCoro::Task<InitConfigResponse> APIClient::getInitConfig(InitConfigRequest body, QString token, QString examBankId)
{
    return request<InitConfigResponse>(QStringLiteral("/common/getInitConfig"), std::move(body), std::move(token),
                                       std::move(examBankId), true);
}

QCoro::Task<QList<CardMenu>> APIClient::getCardMenu(CardMenuRequest body, QString token, QString examBankId)
{
    return request<QList<CardMenu>>(QStringLiteral("/common/getCardMenu"), std::move(body), std::move(token),
                                    std::move(examBankId), true);
}

QCoro::Task<QList<CardMenu>> APIClient::getUserCollectCardMenu(ReportRequest body, QString token, QString examBankId)
{
    return request<QList<CardMenu>>(QStringLiteral("/common/getUserCollectCardMenu"), std::move(body),
                                    std::move(token), std::move(examBankId), true);
}

QCoro::Task<QuestionModel> APIClient::getQuestionByMenuId(QuestionRequest body, QString token, QString examBankId)
{
    return request<QuestionModel>(QStringLiteral("/exam/getQuestionByMenuId"), std::move(body), std::move(token),
                                  std::move(examBankId), true);
}

QCoro::Task<QList<RealExamSummary>> APIClient::getRealExamList(RealExamListRequest body, QString token,
                                                               QString examBankId)
{
    return request<QList<RealExamSummary>>(QStringLiteral("/exam/getRealExamList"), std::move(body),
                                           std::move(token), std::move(examBankId), true);
}

QCoro::Task<RealExamDetail> APIClient::getRealExamDetailAndJoinExam(RealExamDetailRequest body, QString token,
                                                                    QString examBankId)
{
    return request<RealExamDetail>(QStringLiteral("/exam/getRealExamDetailAndJoinExam"), std::move(body),
                                   std::move(token), std::move(examBankId), true);
}

QCoro::Task<CommitResult> APIClient::commitExam(CommitExamRequest body, QString token, QString examBankId)
{
    return request<CommitResult>(QStringLiteral("/exam/commitExam"), std::move(body), std::move(token),
                                 std::move(examBankId), true);
}

QCoro::Task<HistoryReport> APIClient::getUserExamLogDetail(ReportRequest body, QString token, QString examBankId)
{
    return request<HistoryReport>(QStringLiteral("/userExam/getUserExamLogDetail"), std::move(body),
                                  std::move(token), std::move(examBankId), true);
}

QCoro::Task<QList<PracticeHistoryRecord>> APIClient::getUserExamLogList(PracticeHistoryListRequest body,
                                                                        QString token, QString examBankId)
{
    return request<QList<PracticeHistoryRecord>>(QStringLiteral("/userExam/getUserExamLogList"), std::move(body),
                                                 std::move(token), std::move(examBankId), true);
}

QCoro::Task<bool> APIClient::delUserExamLog(DeletePracticeHistoryRequest body, QString token, QString examBankId)
{
    return request<bool>(QStringLiteral("/userExam/delUserExamLog"), std::move(body), std::move(token),
                         std::move(examBankId), true);
}

QCoro::Task<QuestionModel> APIClient::getUserCollectList(CollectionListRequest body, QString token,
                                                         QString examBankId)
{
    return request<QuestionModel>(QStringLiteral("/userExam/getUserCollectList"), std::move(body), std::move(token),
                                  std::move(examBankId), true);
}

QCoro::Task<bool> APIClient::manageUserCollect(ManageCollectionRequest body, QString token, QString examBankId)
{
    return request<bool>(QStringLiteral("/userExam/manageUserCollect"), std::move(body), std::move(token),
                         std::move(examBankId), true);
}
