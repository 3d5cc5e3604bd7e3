#include "DesktopLogging.h"

Q_LOGGING_CATEGORY(lcDesktop, "sondik.desktop")
