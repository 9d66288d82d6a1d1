// Decrypt + envelope + decode of a ~2 MB session-encrypted question-set reply,
// the path every large reply takes after the transfer. Prints MB/s of reply
// body for the whole path and for each stage.

#include "crypto/CryptoPrimitives.h"
#include "models/QuestionModel.h"
#include "networking/AESResponseDecoder.h"
#include "networking/APIEnvelope.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray encrypt(const QByteArray &plain, const QByteArray &key, const QByteArray &iv)
{
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    QByteArray out(plain.size() + 16, '\0');
    int len = 0;
    int total = 0;
    EVP_EncryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
                       reinterpret_cast<const unsigned char *>(iv.constData()));
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &len,
                      reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size()));
    total = len;
    EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char *>(out.data()) + total, &len);
    EVP_CIPHER_CTX_free(ctx);
    out.truncate(total + len);
    return out;
}

QString html(QRandomGenerator &random, int words)
{
    static const QStringList vocabulary = {
        QStringLiteral("根据"), QStringLiteral("材料"), QStringLiteral("下列"), QStringLiteral("说法"),
        QStringLiteral("正确"), QStringLiteral("的是"), QStringLiteral("经济"), QStringLiteral("增长"),
        QStringLiteral("政策"), QStringLiteral("分析"), QStringLiteral("数据"), QStringLiteral("比例"),
    };
    QString text = QStringLiteral("<p>");
    for (int i = 0; i < words; ++i) {
        text += vocabulary.at(random.bounded(vocabulary.size()));
        if (i % 17 == 16)
            text += QStringLiteral("</p><p style=\"text-indent:2em\">");
    }
    return text + QStringLiteral("</p>");
}

// A realistic set: materials, HTML stems, options and analyses, ~2 MB as JSON.
QByteArray questionSetEnvelope(int questionCount)
{
    QRandomGenerator random(20240611);
    QJsonArray materials;
    for (int m = 0; m < questionCount / 5; ++m)
        materials.append(QJsonObject {{QStringLiteral("id"), QStringLiteral("mat-%1").arg(m)},
                                      {QStringLiteral("content"), html(random, 160)}});
    QJsonArray questions;
    for (int q = 0; q < questionCount; ++q) {
        QJsonArray options;
        for (int o = 0; o < 4; ++o)
            options.append(html(random, 12));
        questions.append(QJsonObject {
            {QStringLiteral("id"), QStringLiteral("q-%1").arg(q)},
            {QStringLiteral("questionType"), 1 + q % 3},
            {QStringLiteral("context"), html(random, 60)},
            {QStringLiteral("questionOptions"), options},
            {QStringLiteral("answer"), QStringLiteral("B")},
            {QStringLiteral("analysis"), html(random, 90)},
            {QStringLiteral("materialsId"), q % 5 == 0 ? QJsonValue(QStringLiteral("mat-%1").arg(q / 5)) : QJsonValue()},
            {QStringLiteral("examBankId"), QStringLiteral("101")},
            {QStringLiteral("menuId"), QStringLiteral("m101-11")},
            {QStringLiteral("useTime"), 0},
            {QStringLiteral("isCollect"), q % 7 == 0 ? 1 : 0},
        });
    }
    const QJsonObject data {{QStringLiteral("materialsList"), materials},
                            {QStringLiteral("questionList"), questions},
                            {QStringLiteral("userExamId"), QStringLiteral("log-1")},
                            {QStringLiteral("title"), QStringLiteral("逻辑填空")}};
    const QJsonObject envelope {{QStringLiteral("success"), true},
                                {QStringLiteral("errCode"), QJsonValue()},
                                {QStringLiteral("errMessage"), QJsonValue()},
                                {QStringLiteral("data"), data}};
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    // Grow the set until the encrypted reply body is about 2 MB.
    int count = 400;
    QByteArray plain;
    QByteArray body;
    const QByteArray key = CryptoPrimitives::randomBytes(32);
    const QByteArray iv = CryptoPrimitives::randomBytes(16);
    for (;;) {
        plain = questionSetEnvelope(count);
        body = (iv + encrypt(plain, key, iv)).toBase64();
        if (body.size() >= 2 * 1024 * 1024)
            break;
        count = int(count * (2.0 * 1024 * 1024 / double(body.size()))) + 10;
    }

    const int rounds = 15;
    std::vector<double> decryptMs;
    std::vector<double> decodeMs;
    std::vector<double> totalMs;
    qsizetype questions = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray json = AESResponseDecoder::decodedJSONData(body, key);
        const qint64 afterDecrypt = timer.nsecsElapsed();
        const APIEnvelope<QuestionModel> envelope = APIEnvelope<QuestionModel>::decode(json);
        const qint64 afterDecode = timer.nsecsElapsed();
        if (!envelope.success || !envelope.data || json != plain) {
            std::fprintf(stderr, "pipeline produced a wrong result\n");
            return 1;
        }
        questions = envelope.data->questionList.size();
        decryptMs.push_back(double(afterDecrypt) / 1e6);
        decodeMs.push_back(double(afterDecode - afterDecrypt) / 1e6);
        totalMs.push_back(double(afterDecode) / 1e6);
    }

    const double mb = double(body.size()) / (1024.0 * 1024.0);
    const auto rate = [mb](double ms) { return mb / (ms / 1000.0); };
    std::printf("reply body: %.2f MB Base64 (%lld questions, %.2f MB JSON)\n", mb, static_cast<long long>(questions),
                double(plain.size()) / (1024.0 * 1024.0));
    std::printf("decrypt (UTF-8 check, Base64, AES-256-CBC): %7.2f ms  %8.1f MB/s\n", median(decryptMs),
                rate(median(decryptMs)));
    std::printf("envelope + QuestionModel decode:             %7.2f ms  %8.1f MB/s\n", median(decodeMs),
                rate(median(decodeMs)));
    std::printf("whole path:                                  %7.2f ms  %8.1f MB/s (target >= 80 MB/s)\n",
                median(totalMs), rate(median(totalMs)));
    return 0;
}
