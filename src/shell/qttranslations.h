#pragma once

#include <QString>

class QCoreApplication;

// Qt's own Polish texts for its standard dialogs and buttons ("Tak", "Nie",
// the file, print, font and colour dialogs), since the whole interface is
// Polish whatever the system's language. Looks in Qt's translations
// directory unless given another. Returns false when they cannot be loaded:
// the program then goes on with English dialogs, without a message.
bool installQtTranslations(QCoreApplication *application, const QString &directory = {});
