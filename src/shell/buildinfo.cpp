#include "shell/buildinfo.h"

#include <buildconfig.h>

bool IsPrereleaseBuild()
{
    return VOLTARIS_PRERELEASE_BUILD != 0;
}
