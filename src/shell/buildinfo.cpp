#include "shell/buildinfo.h"

#include <buildconfig.h>

#include <QFile>

bool IsPrereleaseBuild()
{
    return VOLTARIS_PRERELEASE_BUILD != 0;
}

QString InstalledProgramDirectory()
{
    return QStringLiteral(VOLTARIS_INSTALLED_PROGRAM_DIR);
}

QString ProgramVersion()
{
    return QStringLiteral(VOLTARIS_VERSION);
}

QString LegalStateDate()
{
    QFile file(QStringLiteral(":/content/stan-prawny.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && !text.startsWith(u'#'))
            return text;
    }
    return {};
}
