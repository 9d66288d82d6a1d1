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

// The engine's flag line with the program's flags added, each unless the
// line already sets that switch (with a value of its own or none).
[[nodiscard]] QByteArray chromiumFlags(const QByteArray &existing);

// Blocks from this size up get mappings of their own (the allocator's
// starting threshold, kept fixed).
inline constexpr int largeBlockBytes = 128 * 1024;
void keepLargeBlocksApart();

// Registers the scheme, sets the flags and the allocator's large-block
// threshold; call before QtWebEngineQuick::initialize() (before any thread).
void prepareBeforeEngineStarts();

} // namespace ContentEngineSetup
