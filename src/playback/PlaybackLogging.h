#pragma once

#include <QLoggingCategory>

// The playback room's log category, "sondik.player": the player, the resumer
// and the preferences.
Q_DECLARE_LOGGING_CATEGORY(lcPlayer)
