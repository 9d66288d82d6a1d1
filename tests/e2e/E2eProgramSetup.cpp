// Linked only into the end-to-end copy of the program: aims it at the local
// fake service and, when the test asks, shortens the request time limits so a
// held reply times out in seconds instead of a minute.

#include "networking/APIClient.h"

#include <QCoreApplication>

namespace {

void aimAtFakeService()
{
    auto *client = new APIClient(QStringLiteral(VUZO_E2E_API_BASE_URL), QCoreApplication::instance());
    bool ok = false;
    const int limitMs = qEnvironmentVariableIntValue("VUZO_E2E_REQUEST_TIMEOUT_MS", &ok);
    if (ok && limitMs > 0)
        client->setTimeouts(APIClient::Timeouts{limitMs, limitMs, limitMs});
    APIClient::setShared(client);
    QObject::connect(client, &QObject::destroyed, [] { APIClient::setShared(nullptr); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(aimAtFakeService)
