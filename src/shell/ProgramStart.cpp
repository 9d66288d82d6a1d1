#include "shell/ProgramStart.h"

#include "features/content/ContentEngineSetup.h"
#include "views/SceneSetup.h"

#include <QtWebEngineQuick/qtwebenginequickglobal.h>

namespace ProgramStart {

void beforeApplication()
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
}

void afterApplication()
{
    SceneSetup::apply();
    ContentEngineSetup::chooseCompositing();
}

} // namespace ProgramStart
