#pragma once

// Resident memory of a process with all its descendants (the program and its
// web engine processes), read from /proc.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace BenchMemory {

// In MB; the subtrees rooted at the excluded pids (e.g. a fake service the
// benchmark started itself) are left out.
inline double treeRssMegabytes(qint64 root, const QSet<qint64> &excluded = {})
{
    QHash<qint64, QList<qint64>> children;
    QHash<qint64, double> rss;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        qint64 parent = -1;
        double kb = 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                parent = line.mid(5).trimmed().toLongLong();
            else if (line.startsWith("VmRSS:"))
                kb = line.mid(6).trimmed().split(' ').first().toDouble();
        }
        children[parent].append(pid);
        rss.insert(pid, kb);
    }
    double total = 0;
    QList<qint64> pending{root};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        if (excluded.contains(pid))
            continue;
        total += rss.value(pid);
        pending += children.value(pid);
    }
    return total / 1024.0;
}

} // namespace BenchMemory
