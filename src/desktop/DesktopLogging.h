#pragma once

#include <QLoggingCategory>

// The session services' log category, "sondik.desktop".
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
