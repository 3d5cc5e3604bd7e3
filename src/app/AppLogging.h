#pragma once

#include <QLoggingCategory>

// The program's start and composition, "sondik.app".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
