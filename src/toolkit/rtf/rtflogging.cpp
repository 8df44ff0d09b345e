#include "rtflogging.h"

Q_LOGGING_CATEGORY(lcRtf, "voltaris.rtf", QtWarningMsg)
