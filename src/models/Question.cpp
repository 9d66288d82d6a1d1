#include "Question.h"

#include "models/LenientJson.h"
#include "models/ModelHashing.h"
#include "models/RealExamSection.h"

#include <algorithm>

using namespace Qt::StringLiterals;

Question Question::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    Question question;
    question.id = flexibleString(object, "id"_L1);
    question.analysis = flexibleString(object, "analysis"_L1);
    question.answer = flexibleString(object, "answer"_L1);
    question.context = flexibleString(object, "context"_L1);
    question.examBankId = flexibleString(object, "examBankId"_L1);
    question.examId = flexibleString(object, "examId"_L1);
    question.materialsId = flexibleOptionalString(object, "materialsId"_L1);
    question.menuId = flexibleString(object, "menuId"_L1);
    question.note = flexibleString(object, "note"_L1);
    question.questionFrom = flexibleString(object, "questionFrom"_L1);
    question.questionOptions = flexibleList<QString>(object, "questionOptions"_L1);
    question.questionType = QuestionTypes::fromLenientRawValue(flexibleInt(object, "questionType"_L1, 1));
    question.useTime = flexibleString(object, "useTime"_L1, QStringLiteral("0"));
    question.userAnswer = flexibleString(object, "userAnswer"_L1);
    question.isCollect = tolerantBool(object, "isCollect"_L1, false);
    question.sectionIntro = tolerantOptional<QuestionSectionIntro>(object, "sectionIntro"_L1);
    return question;
}

QJsonObject Question::toJson() const
{
    QJsonObject object;
    object.insert("id"_L1, id);
    object.insert("analysis"_L1, analysis);
    object.insert("answer"_L1, answer);
    object.insert("context"_L1, context);
    object.insert("examBankId"_L1, examBankId);
    object.insert("examId"_L1, examId);
    if (materialsId)
        object.insert("materialsId"_L1, *materialsId);
    object.insert("menuId"_L1, menuId);
    object.insert("note"_L1, note);
    object.insert("questionFrom"_L1, questionFrom);
    object.insert("questionOptions"_L1, encodeList(questionOptions));
    object.insert("questionType"_L1, QuestionTypes::rawValue(questionType));
    object.insert("useTime"_L1, useTime);
    object.insert("userAnswer"_L1, userAnswer);
    object.insert("isCollect"_L1, isCollect);
    if (sectionIntro)
        object.insert("sectionIntro"_L1, sectionIntro->toJson());
    return object;
}

QSet<QString> Question::answerSet(const QString &text)
{
    QSet<QString> letters;
    // Full case mapping, independent of locale (ß becomes SS). Letters A–Z are
    // single UTF-16 units, never parts of a surrogate pair.
    const QString upper = text.toUpper();
    for (QChar c : upper) {
        if (c >= u'A' && c <= u'Z')
            letters.insert(QString(c));
    }
    return letters;
}

bool Question::isCorrect(const QString &givenAnswer) const
{
    // QChar::isSpace is exactly the Z categories plus U+0009–U+000D and U+0085.
    const bool blank = std::all_of(givenAnswer.cbegin(), givenAnswer.cend(),
                                   [](QChar c) { return c.isSpace(); });
    if (blank)
        return false;
    if (questionType == QuestionType::answer) {
        if (givenAnswer == answer)
            return true;
        // Canonically equivalent texts count as equal.
        return givenAnswer.normalized(QString::NormalizationForm_C)
            == answer.normalized(QString::NormalizationForm_C);
    }
    const QSet<QString> right = answerSet(answer);
    if (right.isEmpty())
        return false;
    return answerSet(givenAnswer) == right;
}

Question Question::makeSectionIntro(const RealExamSection &section, qint64 index)
{
    // rangEnd - rangBegin + 1 can leave the 64-bit range only for absurd
    // sections; such a count is given as 0, like a negative one.
    qint64 span = 0;
    qint64 count = 0;
    if (!__builtin_sub_overflow(section.rangEnd, section.rangBegin, &span)
        && !__builtin_add_overflow(span, qint64(1), &count)) {
        count = std::max<qint64>(count, 0);
    } else {
        count = 0;
    }

    Question question;
    question.id = "real-exam-section-"_L1 + QString::number(index) + u'-' + QString::number(section.rangBegin)
        + u'-' + QString::number(section.rangEnd);
    question.context = section.title;
    question.analysis = section.des;
    question.useTime = QStringLiteral("0");
    question.sectionIntro = QuestionSectionIntro{section.title, section.des, count};
    return question;
}

size_t qHash(const Question &question, size_t seed)
{
    seed = qHashMulti(seed, question.id, question.analysis, question.answer, question.context,
                      question.examBankId, question.examId);
    seed = qHashOptional(question.materialsId, seed);
    seed = qHashMulti(seed, question.menuId, question.note, question.questionFrom);
    seed = qHashList(question.questionOptions, seed);
    seed = qHashMulti(seed, QuestionTypes::rawValue(question.questionType), question.useTime,
                      question.userAnswer, question.isCollect);
    return qHashOptional(question.sectionIntro, seed);
}
