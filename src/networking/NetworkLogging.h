#pragma once

#include <QLoggingCategory>

// Diagnostics of the service client. Debug messages only, so the category is
// silent unless enabled ("vuzo.network.debug=true"). Never given a token, a
// key, a session id or a phone number.
Q_DECLARE_LOGGING_CATEGORY(lcVuzoNetwork)
