// bench_soak: the whole program (the window shell, root view, screens and web
// views, built by AppDelegate as the program builds them) aimed at the fake
// service. Signs in once through the login screen, picks the exam bank with a
// two-question set (one single, one multiple choice), then plays N rounds
// through the user's input on the window: open the set from the home screen,
// answer the single choice with its key and the multiple choice with the
// mouse, hand in through the answer card and its confirmation, wait for the
// report's figures, go back home. After each round it samples the resident
// memory of the program and its web processes. Prints, one a line:
//   after set 1: <MB> MB        the first round, web engine warm
//   after set 10: <MB> MB       the reference
//   after set 100: <MB> MB      (or after the last set, if fewer were asked)
//   growth 10->100: <%> %       the pass rule: at most 15 %
//   per set: <ms> ms            mean round time, sets 11..last
//   slowest set: <ms> ms
//   total run: <s> s            from start to the last set
// and exits non-zero when a round fails, an error banner shows, or the growth
// is over the rule. The fake service is a child process of the benchmark; its
// subtree is left out of the memory figures. Run under xvfb-run (it needs an
// X server, as the program does). Options: --port N (the fake service's port,
// default 18520), --sets N (default 100), --trace (per set on stderr: memory,
// time, and the scene's item and web view counts between rounds).

#include "../EventLoopWait.h"
#include "../ProcessTreeMemory.h"
#include "../QuickItemSearch.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "shell/AppDelegate.h"
#include "shell/ProgramStart.h"
#include "windowing/PanelWindow.h"
#include "windowing/ShellModel.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include <sys/prctl.h>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

using BenchItems::allItems;
using BenchItems::findItem;

// The bank and the practice menu of the round: 法律基础 holds one single and
// one multiple choice question, so the last answer does not hand the set in
// by itself and the answer card's button does.
const QString soakBankId = QStringLiteral("103");
const QString soakMenuName = QStringLiteral("法律基础");
constexpr double allowedGrowthPercent = 15.0;
constexpr int stepTimeoutMs = 20000;

struct Failure
{
    QString what;
};

class Driver
{
public:
    Driver(QQuickWindow *window, AppModel *model)
        : m_window(window)
        , m_model(model)
    {
    }

    QQuickItem *root() const { return m_window->contentItem(); }

    static bool shown(const QQuickItem *item)
    {
        if (!item || !item->isVisible() || !item->isEnabled() || item->width() <= 0 || item->height() <= 0)
            return false;
        for (const QQuickItem *up = item; up; up = up->parentItem()) {
            if (up->opacity() <= 0.01)
                return false;
        }
        return true;
    }

    QQuickItem *findShown(QQuickItem *under, const QString &name) const
    {
        return findItem(under ? under : root(), [&](QQuickItem *item) { return item->objectName() == name && shown(item); });
    }

    // Waits for a shown item, then clicks its centre as a user would.
    void click(const QString &name, QQuickItem *under = nullptr)
    {
        QQuickItem *item = nullptr;
        waitFor([&] { return (item = findShown(under, name)) != nullptr; }, QStringLiteral("%1 shown").arg(name));
        clickItem(item);
    }

    static QPointF centreOf(const QQuickItem *item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    }

    // A user clicks what stands still on screen: wait out a slide or a
    // popup's entrance first.
    void clickItem(QQuickItem *item)
    {
        const QPointer<QQuickItem> guard(item);
        QPointF last(-1, -1);
        waitFor(
            [&] {
                if (!guard)
                    return false;
                const QPointF centre = centreOf(guard);
                const bool still = centre == last && QRectF(QPointF(0, 0), m_window->size()).contains(centre);
                last = centre;
                if (still)
                    return true;
                BenchWait::run(30);
                return false;
            },
            QStringLiteral("%1 standing still in the window").arg(item->objectName()));
        QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centreOf(guard).toPoint());
    }

    void key(char letter) { QTest::keyClick(m_window, letter); }
    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(m_window, c.toLatin1());
    }

    void waitFor(const std::function<bool()> &ready, const QString &what, int timeoutMs = stepTimeoutMs)
    {
        if (!BenchWait::until([&] { return ready() || hasError(); }, timeoutMs))
            throw Failure{QStringLiteral("timed out waiting for: ") + what};
        if (hasError() && !ready())
            throw Failure{QStringLiteral("error while waiting for %1: %2").arg(what, errorText())};
    }

    bool hasError() const
    {
        if (m_model->errorMessage())
            return true;
        QQuickItem *banner = findItem(root(), QStringLiteral("bannerHost"));
        return banner && banner->property("shown").toBool() && banner->property("isError").toBool();
    }

    QString errorText() const
    {
        if (m_model->errorMessage())
            return *m_model->errorMessage();
        QQuickItem *banner = findItem(root(), QStringLiteral("bannerHost"));
        return banner ? banner->property("message").toString() : QString();
    }

    QQuickItem *currentPage() const
    {
        return findItem(root(), QStringLiteral("page%1").arg(m_model->currentQuestionIndex()));
    }

    // The current question's page has painted its stem.
    bool currentPageReady() const
    {
        QQuickItem *page = currentPage();
        return m_model->screen() == AppScreen::questions && !m_model->isLoading() && page
            && page->property("isCurrent").toBool() && page->property("contentShown").toBool();
    }

    void signIn()
    {
        waitFor([&] { return m_model->screen() == AppScreen::login && findShown(nullptr, QStringLiteral("phoneField")); },
                QStringLiteral("the login screen"));
        click(QStringLiteral("phoneField"));
        type(QStringLiteral("13800138000"));
        click(QStringLiteral("codeButton"));
        // The code is typed once the service has sent it (the button counts down).
        waitFor(
            [&] {
                QQuickItem *button = findItem(root(), QStringLiteral("codeButton"));
                return button && !button->isEnabled();
            },
            QStringLiteral("the code sent"));
        click(QStringLiteral("codeField"));
        type(QStringLiteral("123456"));
        // The terms start agreed to; the tick is pressed only if they are not.
        auto *form = root()->findChild<QObject *>(QStringLiteral("loginController"));
        if (form && !form->property("agreeToTerms").toBool())
            click(QStringLiteral("agreementTick"));
        click(QStringLiteral("loginButton"));
        waitFor([&] { return m_model->screen() == AppScreen::home && !m_model->isLoading(); },
                QStringLiteral("the home screen after signing in"));
    }

    void selectBank()
    {
        if (m_model->selectedExamBank().id != soakBankId)
            pickBank();
        // The menu of the round is in the tree by knowledge point.
        if (m_model->practiceType() != 2) {
            click(QStringLiteral("practiceType2"));
            waitFor([&] { return m_model->practiceType() == 2 && !m_model->isLoading() && menuRow(); },
                    QStringLiteral("the tree by knowledge point"));
        }
    }

    void pickBank()
    {
        click(QStringLiteral("examBankSelectorArea"));
        QQuickItem *entry = nullptr;
        waitFor(
            [&] {
                entry = findItem(root(), [&](QQuickItem *item) {
                    return item->property("bankId").toString() == soakBankId && shown(item)
                        && item->metaObject()->indexOfProperty("symbol") >= 0;
                });
                return entry != nullptr;
            },
            QStringLiteral("the bank's menu entry"));
        clickItem(entry);
        waitFor([&] { return m_model->selectedExamBank().id == soakBankId && !m_model->isLoading(); },
                QStringLiteral("the bank selected"));
    }

    QQuickItem *menuRow() const
    {
        return findItem(root(), [&](QQuickItem *item) {
            return item->objectName() == QLatin1String("menuPracticeRow") && shown(item) && item->parentItem()
                && item->parentItem()->parentItem()
                && item->parentItem()->parentItem()->property("name").toString() == soakMenuName;
        });
    }

    void playRound()
    {
        QQuickItem *row = nullptr;
        waitFor([&] { return m_model->screen() == AppScreen::home && !m_model->isLoading() && (row = menuRow()); },
                QStringLiteral("the practice menu row on the home screen"));
        clickItem(row);
        waitFor([&] { return currentPageReady() && m_model->currentQuestionIndex() == 0 && m_model->questions().size() == 2; },
                QStringLiteral("the set's first question shown"));

        // Single choice: its key; the pick moves on by itself.
        const QString first = m_model->questions().at(0).id;
        key('z');
        waitFor([&] { return m_model->answers().contains(first) && m_model->currentQuestionIndex() == 1 && currentPageReady(); },
                QStringLiteral("the second question after the first answer"));

        // Multiple choice: two options with the mouse.
        const QString second = m_model->questions().at(1).id;
        click(QStringLiteral("optionB"), currentPage());
        click(QStringLiteral("optionC"), currentPage());
        waitFor([&] { return m_model->answers().value(second) == QLatin1String("B,C"); },
                QStringLiteral("both options of the multiple choice picked"));

        // Hand in through the answer card and its confirmation.
        if (!findShown(nullptr, QStringLiteral("submitButton")))
            click(QStringLiteral("answerCardHandle"));
        click(QStringLiteral("submitButton"));
        QQuickItem *confirm = nullptr;
        waitFor(
            [&] {
                confirm = findItem(root(), [&](QQuickItem *item) {
                    return item->property("text").toString() == QStringLiteral("确认交卷") && shown(item)
                        && item->metaObject()->indexOfSignal("clicked()") >= 0;
                });
                return confirm != nullptr;
            },
            QStringLiteral("the hand-in confirmation"));
        clickItem(confirm);

        // The report with its figures.
        waitFor(
            [&] {
                if (m_model->screen() != AppScreen::report || m_model->isLoading())
                    return false;
                QQuickItem *rate = findShown(nullptr, QStringLiteral("rateText"));
                QQuickItem *summary = findShown(nullptr, QStringLiteral("reportSummary"));
                return rate && summary && !rate->property("text").toString().isEmpty()
                    && !summary->property("text").toString().isEmpty();
            },
            QStringLiteral("the report's figures"));
        click(QStringLiteral("reportBack"));
        waitFor([&] { return m_model->screen() == AppScreen::home && !m_model->isLoading(); },
                QStringLiteral("the home screen after the report"));
        if (hasError())
            throw Failure{QStringLiteral("error banner: ") + errorText()};
    }

private:
    QQuickWindow *m_window;
    AppModel *m_model;
};

std::optional<quint16> startFakeService(QProcess &service, quint16 port)
{
    service.setProgram(QStringLiteral(VUZO_FAKE_SERVICE));
    service.setArguments({QStringLiteral("--port"), QString::number(port)});
    service.setProcessChannelMode(QProcess::SeparateChannels);
    // The service ends with the benchmark even when the benchmark crashes.
    service.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    service.start();
    if (!service.waitForStarted(5000))
        return std::nullopt;
    QByteArray out;
    while (!out.contains("listening")) {
        if (!service.waitForReadyRead(5000))
            return std::nullopt;
        out += service.readAllStandardOutput();
    }
    return port;
}

} // namespace

int main(int argc, char *argv[])
{
    quint16 port = 18520;
    int sets = 100;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--port" && i + 1 < argc)
            port = quint16(QByteArray(argv[++i]).toUInt());
        else if (arg == "--sets" && i + 1 < argc)
            sets = std::max(1, QByteArray(argv[++i]).toInt());
        else if (arg == "--trace")
            trace = true;
    }
    const int reference = std::min(10, sets);

    // A fresh user: settings, the web profile and the export ledger in a
    // folder of this run.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QElapsedTimer runClock;
    runClock.start();
    ProgramStart::beforeApplication();
    QApplication app(argc, argv);
    ProgramStart::afterApplication();
    QApplication::setApplicationName(QStringLiteral("vuzo"));
    QApplication::setQuitOnLastWindowClosed(false);

    QProcess service;
    if (!startFakeService(service, port)) {
        std::fprintf(stderr, "the fake service did not start on port %u\n", unsigned(port));
        return 2;
    }
    const QSet<qint64> excluded{service.processId()};

    APIClient client(QStringLiteral("http://127.0.0.1:%1").arg(port));
    APIClient::setShared(&client);
    int status = 0;
    {
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        QQuickWindow *window = delegate.panelWindow();
        AppModel *model = delegate.appModel()->viewModel();
        if (!BenchWait::until([&] { return window->isExposed(); }, 10000)) {
            std::fprintf(stderr, "the window was not shown\n");
            return 2;
        }
        // The pointer rests on the panel, as a user's would.
        QCursor::setPos(window->geometry().center());

        Driver driver(window, model);
        QList<double> memory;
        QList<qint64> roundTimes;
        QElapsedTimer roundClock;
        try {
            driver.signIn();
            driver.selectBank();
            for (int set = 1; set <= sets; ++set) {
                roundClock.start();
                driver.playRound();
                roundTimes << roundClock.elapsed();
                BenchWait::run(300);
                memory << BenchMemory::treeRssMegabytes(QCoreApplication::applicationPid(), excluded);
                if (trace) {
                    // What the scene holds between rounds: a count that climbs is a leak.
                    const QList<QQuickItem *> items = allItems(window->contentItem());
                    const auto webViews = std::count_if(items.cbegin(), items.cend(), [](QQuickItem *item) {
                        return QByteArray(item->metaObject()->className()).contains("WebEngineView");
                    });
                    std::fprintf(stderr, "set %d: %.1f MB, %lld ms, %lld items, %lld web views\n", set, memory.last(),
                                 static_cast<long long>(roundTimes.last()), static_cast<long long>(items.size()),
                                 static_cast<long long>(webViews));
                }
                if (set == 1 || set == reference || set == sets) {
                    std::printf("after set %d: %.1f MB\n", set, memory.last());
                    std::fflush(stdout);
                }
            }
        } catch (const Failure &failure) {
            std::fprintf(stderr, "round %lld failed: %s\n", static_cast<long long>(memory.size() + 1), qPrintable(failure.what));
            const QImage shot = window->grabWindow();
            const QString path = QDir::current().filePath(QStringLiteral("soak-failure.png"));
            if (shot.save(path))
                std::fprintf(stderr, "screenshot: %s\n", qPrintable(path));
            status = 1;
        }

        if (status == 0) {
            const double growth = (memory.last() - memory.at(reference - 1)) / memory.at(reference - 1) * 100.0;
            const QList<qint64> warm = roundTimes.mid(reference);
            const QList<qint64> timed = warm.isEmpty() ? roundTimes : warm;
            qint64 sum = 0;
            for (qint64 ms : timed)
                sum += ms;
            std::printf("growth %d->%d: %.1f %%\n", reference, sets, growth);
            std::printf("per set: %lld ms\n", static_cast<long long>(sum / timed.size()));
            std::printf("slowest set: %lld ms\n", static_cast<long long>(*std::max_element(roundTimes.cbegin(), roundTimes.cend())));
            std::printf("total run: %.1f s\n", double(runClock.elapsed()) / 1000.0);
            if (growth > allowedGrowthPercent) {
                std::fprintf(stderr, "memory grew %.1f %% from set %d to set %d (allowed %.0f %%)\n", growth, reference, sets,
                             allowedGrowthPercent);
                status = 1;
            }
        }
        delegate.applicationWillTerminate();
    }
    APIClient::setShared(nullptr);
    service.kill();
    service.waitForFinished(5000);
    return status;
}
