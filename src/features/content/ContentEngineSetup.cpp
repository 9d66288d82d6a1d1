#include "ContentEngineSetup.h"

#include "ContentSchemeHandler.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGlobal>

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace ContentEngineSetup {

QByteArray chromiumFlags(const QByteArray &existing, Graphics graphics)
{
    QByteArray out = existing.trimmed();
    const QList<QByteArray> words = out.split(' ');
    const auto sets = [&](const char *flagText) {
        const QByteArray name = QByteArray(flagText).split('=').constFirst();
        return std::any_of(words.cbegin(), words.cend(), [&](const QByteArray &word) {
            return word == name || word.startsWith(name + '=');
        });
    };
    QList<const char *> flags{rendererLimitFlag, noUnsandboxedZygoteFlag};
    if (graphics == Graphics::software && !sets(ignoreGpuBlocklistFlag))
        flags.append(noGpuFlag);
    for (const char *flag : std::as_const(flags)) {
        if (!sets(flag))
            out = out.isEmpty() ? QByteArray(flag) : out + ' ' + flag;
    }
    return out;
}

bool isSoftwareRasterizer(const QByteArray &glRenderer)
{
    // Mesa's rasterizers (also under zink, which names the Vulkan device:
    // lavapipe reports itself as llvmpipe) and the classic "Software Rasterizer".
    // A device's string may name LLVM (its shader compiler), never llvmpipe.
    const QByteArray renderer = glRenderer.toLower();
    return renderer.contains("llvmpipe") || renderer.contains("softpipe") || renderer.contains("software rasterizer")
        || renderer.startsWith("swrast");
}

Graphics desktopGraphics()
{
    if (QQuickWindow::graphicsApi() == QSGRendererInterface::Software)
        return Graphics::software;
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return Graphics::software;
    const auto *renderer = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const Graphics graphics = renderer && !isSoftwareRasterizer(QByteArray(renderer)) ? Graphics::device
                                                                                       : Graphics::software;
    context.doneCurrent();
    return graphics;
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

void chooseCompositing()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), desktopGraphics()));
}

} // namespace ContentEngineSetup
