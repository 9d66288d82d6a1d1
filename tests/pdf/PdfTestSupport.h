#pragma once

#include "app/PracticePdfRenderer.h"
#include "models/Question.h"
#include "models/QuestionModel.h"
#include "models/QuestionSectionIntro.h"
#include "platform/VuzoError.h"

#include <QCoro/QCoroTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace PdfTest {

// QCoro::waitFor never returns from a task that throws: this turns the outcome
// into a text, empty on success.
inline QCoro::Task<QString> outcome(QCoro::Task<> task)
{
    try {
        co_await std::move(task);
    } catch (const VuzoError &error) {
        co_return error.localizedDescription();
    } catch (const std::exception &error) {
        co_return QStringLiteral("other error: ") + QString::fromUtf8(error.what());
    }
    co_return QString();
}

inline Question question(const QString &id, const QString &stem = QString())
{
    Question q;
    q.id = id;
    q.context = stem.isEmpty() ? QStringLiteral("<p>题干 %1</p>").arg(id) : stem;
    q.answer = QStringLiteral("A");
    q.analysis = QStringLiteral("<p>解析 %1</p>").arg(id);
    q.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙")};
    return q;
}

inline Question sectionIntro(const QString &id)
{
    Question q;
    q.id = id;
    q.sectionIntro = QuestionSectionIntro{};
    return q;
}

// n real questions, with a section introduction ahead of every `perSection`.
inline QuestionModel set(int n, int perSection = 0)
{
    QuestionModel model;
    for (int i = 1; i <= n; ++i) {
        if (perSection > 0 && (i - 1) % perSection == 0)
            model.questionList.append(sectionIntro(QStringLiteral("s%1").arg(i)));
        model.questionList.append(question(QString::number(i)));
    }
    return model;
}

// A renderer whose behaviour the test chooses: `during` runs inside render
// (and may throw), after an optional pause that lets the test act meanwhile.
struct ScriptedRenderer final : PracticePdfRenderer
{
    struct Script
    {
        std::function<void()> during;
        std::chrono::milliseconds pause{0};
        QStringList progressTexts;
        int renders = 0;
        QString title;
        QString destination;
        qsizetype questionCount = -1;
    };

    explicit ScriptedRenderer(std::shared_ptr<Script> script) : m_script(std::move(script)) { }

    QCoro::Task<> render(QuestionModel model, QString title, QString destination, Progress progress) override
    {
        const std::shared_ptr<Script> script = m_script;
        ++script->renders;
        script->title = title;
        script->destination = destination;
        script->questionCount = model.questionList.size();
        for (const QString &text : script->progressTexts)
            progress(text);
        if (script->pause.count() > 0)
            co_await QCoro::sleepFor(script->pause);
        if (script->during)
            script->during();
    }

    std::shared_ptr<Script> m_script;
};

inline std::function<std::unique_ptr<PracticePdfRenderer>()> factory(const std::shared_ptr<ScriptedRenderer::Script> &script)
{
    return [script] { return std::make_unique<ScriptedRenderer>(script); };
}

} // namespace PdfTest
