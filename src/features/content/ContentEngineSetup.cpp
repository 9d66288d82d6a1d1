#include "ContentEngineSetup.h"

#include "ContentSchemeHandler.h"

#include <QtGlobal>

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace ContentEngineSetup {

QByteArray chromiumFlags(const QByteArray &existing)
{
    QByteArray out = existing.trimmed();
    const QList<QByteArray> words = out.split(' ');
    for (const char *flagText : {rendererLimitFlag, noUnsandboxedZygoteFlag}) {
        const QByteArray flag(flagText);
        const QByteArray name = flag.split('=').constFirst();
        const bool set = std::any_of(words.cbegin(), words.cend(), [&](const QByteArray &word) {
            return word == name || word.startsWith(name + '=');
        });
        if (!set)
            out = out.isEmpty() ? flag : out + ' ' + flag;
    }
    return out;
}

void keepLargeBlocksApart()
{
#if defined(__GLIBC__)
    // glibc raises its mmap threshold each time a large block is freed (up to
    // 32 MB), after which the engine's tile, texture and image buffers are
    // carved from the heaps, and pages freed between live blocks there are
    // never given back: paging through a set grew the program by a third. A
    // fixed threshold keeps such blocks in mappings of their own, returned
    // to the system when freed.
    mallopt(M_MMAP_THRESHOLD, largeBlockBytes);
#endif
}

void prepareBeforeEngineStarts()
{
    keepLargeBlocksApart();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
    ContentSchemeHandler::registerScheme();
}

} // namespace ContentEngineSetup
