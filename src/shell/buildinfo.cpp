#include "shell/buildinfo.h"

#include <buildconfig.h>

bool IsPrereleaseBuild()
{
    return VOLTARIS_PRERELEASE_BUILD != 0;
}

QString InstalledProgramDirectory()
{
    return QStringLiteral(VOLTARIS_INSTALLED_PROGRAM_DIR);
}
