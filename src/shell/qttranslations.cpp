#include "qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtTranslations(QCoreApplication *application, const QString &directory)
{
    const QString where
        = directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    auto *translator = new QTranslator(application);
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                          QStringLiteral("_"), where)
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
