// A 150-question set shown in a ListView over the questions model: how many
// delegates an answer creates and how long the answer takes to reach its row;
// and applying a 3,000-node menu tree to the menu model. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/listmodels/bench_listmodels

#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int questionCount = 150;

const char *listQml = R"(
import QtQuick
ListView {
    id: list
    width: 480; height: 150 * 44 // every row has its delegate
    property int created: 0
    delegate: Rectangle {
        required property int questionIndex
        required property string userAnswer
        required property bool answered
        property alias answerText: label.text
        width: ListView.view.width; height: 44
        Text { id: label; text: userAnswer + (answered ? " ✓" : "") }
        Component.onCompleted: list.created++
    }
}
)";

QList<Question> questions()
{
    QList<Question> list;
    for (int i = 0; i < questionCount; ++i) {
        Question question;
        question.id = QStringLiteral("q%1").arg(i);
        question.context = QStringLiteral("<p>题干 %1</p>").arg(i);
        question.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
        question.answer = QStringLiteral("B");
        question.questionType = i % 5 == 4 ? QuestionType::multiple : QuestionType::single;
        list.append(question);
    }
    return list;
}

QList<CardMenu> menuTree(int &nodes)
{
    QList<CardMenu> roots;
    nodes = 0;
    for (int r = 0; r < 20; ++r) {
        CardMenu root;
        root.menuId = QStringLiteral("m%1").arg(r);
        root.name = QStringLiteral("一级目录 %1").arg(r);
        ++nodes;
        for (int c = 0; c < 12; ++c) {
            CardMenu child;
            child.menuId = QStringLiteral("m%1-%2").arg(r).arg(c);
            child.name = QStringLiteral("二级目录 %1").arg(c);
            ++nodes;
            for (int g = 0; g < 12; ++g) {
                CardMenu leaf;
                leaf.menuId = QStringLiteral("m%1-%2-%3").arg(r).arg(c).arg(g);
                leaf.name = QStringLiteral("三级目录 %1").arg(g);
                child.children.append(leaf);
                ++nodes;
            }
            root.children.append(child);
        }
        roots.append(root);
    }
    return roots;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

double medianMilliseconds(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    ManualClock clock(1'750'000'000'000LL);
    Clock::setShared(&clock);
    APIClient client(QStringLiteral("http://127.0.0.1:9"));
    UserDefaults store(dir.filePath(QStringLiteral("defaults.json")));
    AppModel model(client, store, clock);
    model.setExamMode(ExamMode::practice);
    model.setQuestions(questions());

    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(listQml, QUrl(QStringLiteral("qrc:/bench/QuestionList.qml")));
    if (!component.isReady()) {
        std::fprintf(stderr, "the list did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    std::unique_ptr<QObject> object(component.createWithInitialProperties(
        {{QStringLiteral("model"), QVariant::fromValue<QObject *>(model.questionsModel())}}));
    auto *list = qobject_cast<QQuickItem *>(object.get());
    if (!list) {
        std::fprintf(stderr, "the list did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    QQuickWindow window;
    window.resize(480, 800);
    list->setParentItem(window.contentItem());
    window.show();
    QCoreApplication::processEvents();

    const auto delegateAt = [&list](int row) {
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, row));
        return item;
    };

    // Answer every shown row once; the last question is left alone, as
    // answering it would submit the set.
    const int createdBefore = list->property("created").toInt();
    std::vector<double> times;
    int answers = 0;
    int missed = 0;
    for (int row = 0; row < questionCount - 1; ++row) {
        QQuickItem *delegate = delegateAt(row);
        if (!delegate)
            continue; // not instantiated: nothing on screen to update
        const Question &question = model.questions().at(row);
        const QString letter = row % 2 ? QStringLiteral("A") : QStringLiteral("C");
        QElapsedTimer timer;
        timer.start();
        if (question.questionType == QuestionType::multiple)
            model.toggleMultipleAnswerFor(letter, question.id);
        else
            model.chooseSingleAnswerFor(letter, question.id);
        const bool updated = delegate->property("answerText").toString().startsWith(letter);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!updated)
            ++missed;
        ++answers;
        QCoreApplication::processEvents();
    }
    const int created = list->property("created").toInt() - createdBefore;

    std::printf("questions in the list: %d (%d delegates on screen)\n", questionCount, createdBefore);
    std::printf("answers: %d (%d rows not updated)\n", answers, missed);
    std::printf("delegates created per answer: %g\n", answers ? double(created) / answers : 0.0);
    std::printf("answer to row updated: %.4f ms\n", median(times));

    // The set replaced as a whole: one reset, delegates made afresh.
    const double newSet = medianMilliseconds(11, [&] {
        model.setQuestions(questions());
        QCoreApplication::processEvents();
    });
    std::printf("new set of %d questions to the list: %.3f ms\n", questionCount, newSet);

    int nodes = 0;
    const QList<CardMenu> tree = menuTree(nodes);
    const double apply = medianMilliseconds(21, [&] { model.setMenus(tree); });
    MenuTreeModel *menuModel = model.menuTreeModel();
    std::printf("menu tree of %d nodes applied to the menu model: %.3f ms (%d rows shown)\n", nodes, apply,
                menuModel->rowCount());
    const double toggle = medianMilliseconds(21, [&] { model.toggleMenuRow(1); });
    std::printf("menu row opened or closed (saved to the store): %.3f ms\n", toggle);
    const double refresh = medianMilliseconds(21, [&] { menuModel->refreshExpansion(); });
    std::printf("menu model expansion pass, nothing changed: %.3f ms\n", refresh);
    Clock::setShared(nullptr);
    return 0;
}
