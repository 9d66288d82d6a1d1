#pragma once

#include <QByteArray>

// What the web engine needs before it starts: the content pages' scheme and
// the process model. Every content page shares one renderer process (a page
// per process would cost a renderer per stem, option and analysis).
namespace ContentEngineSetup {

inline constexpr const char *rendererLimitFlag = "--renderer-process-limit=1";

// The engine's flag line with the renderer limit added unless already there.
[[nodiscard]] QByteArray chromiumFlags(const QByteArray &existing);

// Registers the scheme and sets the flags; call before QtWebEngineQuick::initialize().
void prepareBeforeEngineStarts();

} // namespace ContentEngineSetup
