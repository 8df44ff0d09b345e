#include "data/datalocation.h"
#include "shell/buildinfo.h"
#include "shell/form_main.h"
#include "shell/form_splash.h"
#include "shell/qttranslations.h"
#include "toolkit/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    QApplication::setOrganizationName(QStringLiteral("Lumenik"));
    installQtTranslations(&application);
    QApplication::setDesktopFileName(QStringLiteral("pl.voltaris.Voltaris"));

    // An installed program keeps the user's database in the user's data
    // directory; a build or a copied folder keeps it beside the executable.
    const QString programDirectory = QCoreApplication::applicationDirPath();
    const DataLocation data = DataLocation::prepare(
        {programDirectory, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
         QFileInfo(programDirectory).canonicalFilePath()
             == QFileInfo(InstalledProgramDirectory()).canonicalFilePath()});
    for (const QString &problem : data.problems())
        MessageBoxes::error(nullptr, problem);

    // The main window opens the database and loads the tree before the
    // splash exists; the splash only fills its bar and then steps aside.
    TF_Main mainWindow({.baseDirectory = programDirectory,
                        .prerelease = IsPrereleaseBuild(),
                        .databaseDirectory = data.databaseDirectory(),
                        .databaseReadOnly = data.readOnly()});
    TF_Splash splash(&mainWindow);
    mainWindow.show();
    splash.show();
    splash.raise();
    return QApplication::exec();
}
