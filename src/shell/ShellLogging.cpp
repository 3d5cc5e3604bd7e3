#include "ShellLogging.h"

Q_LOGGING_CATEGORY(lcShell, "sondik.shell")
