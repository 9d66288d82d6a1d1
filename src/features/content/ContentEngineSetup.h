#pragma once

#include <QByteArray>

// What the web engine needs before it starts: the content pages' scheme, the
// process model and how the program's allocator treats large blocks. Every
// content page shares one renderer process (a page per process would cost a
// renderer per stem, option and analysis). The engine's second, unsandboxed
// zygote is not started: the program runs no helper process that needs it
// (its GPU and network work run inside the program), yet it would hold some
// 10 MB all day; a helper that did need one is then started on its own.
namespace ContentEngineSetup {

inline constexpr const char *rendererLimitFlag = "--renderer-process-limit=1";
inline constexpr const char *noUnsandboxedZygoteFlag = "--no-unsandboxed-zygote";

// Where the desktop's OpenGL draws: on a graphics device, or on the CPU under
// a device's name (a software rasterizer such as llvmpipe). On the latter the
// engine's GPU compositing only emulates a GPU: each page is drawn into the
// rasterizer's textures besides the engine's own tiles, some 5 MB more for
// the same pages, so the engine composites in software, as it does where it
// finds no usable GPU.
enum class Graphics { device, software };
inline constexpr const char *noGpuFlag = "--disable-gpu";
// The user's own choice of GPU use, which the program leaves alone.
inline constexpr const char *ignoreGpuBlocklistFlag = "--ignore-gpu-blocklist";

// The engine's flag line with the program's flags added, each unless the
// line already sets that switch (with a value of its own or none); on
// software graphics also noGpuFlag, unless the line decides GPU use itself.
[[nodiscard]] QByteArray chromiumFlags(const QByteArray &existing, Graphics graphics = Graphics::device);

// True for the renderer string (GL_RENDERER) of a software rasterizer.
[[nodiscard]] bool isSoftwareRasterizer(const QByteArray &glRenderer);
// The desktop's graphics, asked of a throwaway OpenGL context (software when
// Qt Quick draws in software or no context can be made); needs the
// application object.
[[nodiscard]] Graphics desktopGraphics();

// Blocks from this size up get mappings of their own (the allocator's
// starting threshold, kept fixed).
inline constexpr int largeBlockBytes = 128 * 1024;
void keepLargeBlocksApart();

// Registers the scheme, sets the flags and the allocator's large-block
// threshold; call before QtWebEngineQuick::initialize() (before any thread).
void prepareBeforeEngineStarts();

// Adds the flags that follow from desktopGraphics(); call once the
// application object exists and before the first web view or profile (the
// engine reads its flags when it starts).
void chooseCompositing();

} // namespace ContentEngineSetup
