#include "PlaybackLogging.h"

Q_LOGGING_CATEGORY(lcPlayer, "sondik.player")
