#pragma once

#include "contentsource.h"

#include <QByteArray>
#include <QString>

// Turns checked content into the program's database and help file.
namespace ContentBuilder {

// The RTF of a Markdown text, as the program stores it.
QByteArray markdownToRtf(const QString &markdown);

// Writes the content into the database file and stamps it. A new file is
// built aside and moved into place when complete. An existing one keeps the
// user's data: its content is replaced as ContentStore::replace does, the
// same way the program refreshes a user's copy. Raises Error.
void writeDatabase(const ContentSource &content, const QString &databasePath);

// Writes the help document as RTF; raises Error.
void writeHelp(const ContentSource &content, const QString &rtfPath);

} // namespace ContentBuilder
