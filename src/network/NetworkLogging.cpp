#include "NetworkLogging.h"

Q_LOGGING_CATEGORY(lcNetwork, "sondik.network")
