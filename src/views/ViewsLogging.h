#pragma once

#include <QLoggingCategory>

// The views' log category, "sondik.views".
Q_DECLARE_LOGGING_CATEGORY(lcViews)
