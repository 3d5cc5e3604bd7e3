#pragma once

#include <QLoggingCategory>

// The shell's log category, "sondik.shell".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
