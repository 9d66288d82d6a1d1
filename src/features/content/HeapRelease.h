#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Hands the allocator's free pages back to the system. Pages freed between
// blocks still in use stay with the program otherwise: after a question set
// the screens and web views it built leave megabytes of such holes, which a
// panel kept open all day would hold at rest.
class HeapRelease : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE static void releaseFreePages();
};
