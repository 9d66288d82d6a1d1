#include "NetworkLogging.h"

Q_LOGGING_CATEGORY(lcVuzoNetwork, "vuzo.network", QtInfoMsg)
