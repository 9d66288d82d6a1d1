#pragma once

// The set-up around the application object, as the program starts (and the
// benchmarks that start it the same way).
namespace ProgramStart {

// The web engine's scheme, flags and allocator settings, then its shared
// OpenGL context; before the application object and any thread.
void beforeApplication();

// The scene's font and atlas, and the engine's compositing for the desktop's
// graphics; once the application object exists, before the first window.
void afterApplication();

} // namespace ProgramStart
