#pragma once

#include <QLoggingCategory>

// The network status's log category, "sondik.network".
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)
