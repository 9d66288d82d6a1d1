#pragma once

// Resident memory of a process with all its descendants (the program and its
// web engine processes), read from /proc. Resident sizes count a page shared
// by several processes (fonts, libraries, shared bitmaps) once per process;
// proportional sizes (PSS) split it among them, so their sum is what the
// tree costs the machine.

#include <QDir>
#include <QMap>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace BenchMemory {

// The pids of the tree rooted at root, root first; excluded subtrees left out.
inline QList<qint64> treePids(qint64 root, const QSet<qint64> &excluded = {})
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:")) {
                children[line.mid(5).trimmed().toLongLong()].append(pid);
                break;
            }
        }
    }
    QList<qint64> out;
    QList<qint64> pending{root};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeFirst();
        if (excluded.contains(pid))
            continue;
        out.append(pid);
        pending += children.value(pid);
    }
    return out;
}

struct Usage
{
    double pss = 0; // MB
    double rss = 0; // MB
    // Pages no other process maps: unlike PSS, not lowered by other programs
    // that happen to map the same libraries at the same time.
    double uss = 0; // MB
};

// One process's totals from /proc/PID/smaps_rollup.
inline Usage processUsage(qint64 pid)
{
    Usage usage;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return usage;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const auto kb = [&] { return line.split(':').value(1).trimmed().split(' ').first().toDouble() / 1024.0; };
        if (line.startsWith("Pss:"))
            usage.pss = kb();
        else if (line.startsWith("Rss:"))
            usage.rss = kb();
        else if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:"))
            usage.uss += kb();
    }
    return usage;
}

struct TreeUsage
{
    Usage tree;
    Usage main;
    int processes = 0;
};

inline TreeUsage treeUsage(qint64 root, const QSet<qint64> &excluded = {})
{
    TreeUsage out;
    for (const qint64 pid : treePids(root, excluded)) {
        const Usage usage = processUsage(pid);
        out.tree.pss += usage.pss;
        out.tree.rss += usage.rss;
        out.tree.uss += usage.uss;
        if (pid == root)
            out.main = usage;
        ++out.processes;
    }
    return out;
}

// PSS of one process by mapping (/proc/PID/smaps), in MB: file mappings by
// file name, anonymous ones as "[anon]", "[heap]", "[stack]"; memfd and
// shared-memory segments under their names.
inline QMap<QString, double> pssByMapping(qint64 pid)
{
    QMap<QString, double> out;
    QFile smaps(QStringLiteral("/proc/%1/smaps").arg(pid));
    if (!smaps.open(QIODevice::ReadOnly))
        return out;
    QString current;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        // A mapping's first line starts with its address range, the others with "Name:".
        const qsizetype space = line.indexOf(' ');
        const bool header = space > 0 && !line.left(space).endsWith(':');
        if (header) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            current = fields.size() >= 6 ? QString::fromUtf8(fields.mid(5).join(' ')) : QStringLiteral("[anon]");
            continue;
        }
        if (line.startsWith("Pss:"))
            out[current] += line.mid(4).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return out;
}

// In MB; the subtrees rooted at the excluded pids (e.g. a fake service the
// benchmark started itself) are left out.
inline double treeRssMegabytes(qint64 root, const QSet<qint64> &excluded = {})
{
    return treeUsage(root, excluded).tree.rss;
}

} // namespace BenchMemory
