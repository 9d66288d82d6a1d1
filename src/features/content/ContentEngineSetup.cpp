#include "ContentEngineSetup.h"

#include "ContentSchemeHandler.h"

#include <QtGlobal>

namespace ContentEngineSetup {

QByteArray chromiumFlags(const QByteArray &existing)
{
    const QByteArray trimmed = existing.trimmed();
    if (trimmed.split(' ').contains(QByteArray("--renderer-process-limit"))
        || trimmed.contains(QByteArray("--renderer-process-limit=")))
        return trimmed;
    return trimmed.isEmpty() ? QByteArray(rendererLimitFlag) : trimmed + ' ' + rendererLimitFlag;
}

void prepareBeforeEngineStarts()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
    ContentSchemeHandler::registerScheme();
}

} // namespace ContentEngineSetup
