#include "shell/form_main.h"
#include "shell/form_splash.h"
#include "shell/qttranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    QApplication::setOrganizationName(QStringLiteral("Lumenik"));
    installQtTranslations(&application);

    // The main window opens the database and loads the tree before the
    // splash exists; the splash only fills its bar and then steps aside.
    TF_Main mainWindow;
    TF_Splash splash(&mainWindow);
    mainWindow.show();
    splash.show();
    splash.raise();
    return QApplication::exec();
}
