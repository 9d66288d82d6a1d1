// Linked only into the end-to-end copy of the program. When
// VUZO_E2E_STEM_LOG names a file, writes a line "<question index> <ms>" to it
// each time the current question's stem is first drawn (its web view has
// reported a height and the window has shown a frame since), the time on the
// monotonic clock, so a driver outside the process can time the first stem
// and each move. Web content is not on the accessibility bus, so the driver
// cannot see the stem itself.

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <ctime>
#include <functional>

namespace {

qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QQuickItem *find(QQuickItem *root, const std::function<bool(QQuickItem *)> &matches)
{
    if (matches(root))
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = find(child, matches))
            return found;
    }
    return nullptr;
}

// The index of the current page whose stem has a height, or -1.
int shownStem(QQuickItem *root)
{
    QQuickItem *page = find(root, [](QQuickItem *item) {
        const QString name = item->objectName();
        return (name.startsWith(QLatin1String("page")) || name.startsWith(QLatin1String("materialPage")))
            && item->isVisible() && item->property("isCurrent").toBool();
    });
    if (!page)
        return -1;
    QQuickItem *stem = find(page, [](QQuickItem *item) { return item->objectName() == QLatin1String("stemView"); });
    if (!stem || stem->property("contentHeight").toDouble() <= 0)
        return -1;
    return page->property("questionIndex").toInt();
}

class StemProbe : public QObject
{
public:
    explicit StemProbe(const QString &path)
        : QObject(QCoreApplication::instance())
        , m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return;
        connect(&m_timer, &QTimer::timeout, this, &StemProbe::poll);
        m_timer.start(10);
    }

private:
    void poll()
    {
        const QWindowList windows = QGuiApplication::topLevelWindows();
        for (QWindow *window : windows) {
            auto *quick = qobject_cast<QQuickWindow *>(window);
            if (!quick || !quick->isVisible())
                continue;
            const int index = shownStem(quick->contentItem());
            if (index < 0) {
                m_reported = -1;
                continue;
            }
            if (index == m_reported || index == m_pending)
                return;
            m_pending = index;
            // Drawn once the next frame is out.
            connect(quick, &QQuickWindow::frameSwapped, this, [this, index, quick] {
                disconnect(quick, &QQuickWindow::frameSwapped, this, nullptr);
                if (m_pending != index)
                    return;
                m_pending = -1;
                m_reported = index;
                m_file.write(QByteArray::number(index) + ' ' + QByteArray::number(monotonicMs()) + '\n');
            });
            quick->update();
            return;
        }
    }

    QFile m_file;
    QTimer m_timer;
    int m_reported = -1;
    int m_pending = -1;
};

void startStemProbe()
{
    const QString path = qEnvironmentVariable("VUZO_E2E_STEM_LOG");
    if (path.isEmpty())
        return;
    // After the application object is complete: the timer needs its loop.
    QTimer::singleShot(0, [path] { new StemProbe(path); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startStemProbe)
