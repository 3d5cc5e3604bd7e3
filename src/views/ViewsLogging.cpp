#include "ViewsLogging.h"

Q_LOGGING_CATEGORY(lcViews, "sondik.views")
