// Builds the program's database and help file from the content sources:
//   voltaris-buildcontent CONTENT_DIR DATABASE_FILE HELP_FILE
// Faults are printed as "file:line: message" and make the build fail.

#include "contentbuilder.h"
#include "contentsource.h"

#include "toolkit/error.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Markdown goes through QTextDocument, which needs a GUI application;
    // no display is ever needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: voltaris-buildcontent CONTENT_DIR DATABASE_FILE HELP_FILE\n");
        return 2;
    }

    ContentSource content = ContentSource::read(arguments.at(1));
    content.check();
    for (const ContentFault &fault : std::as_const(content.faults))
        std::fprintf(stderr, "%s: error: %s\n", qPrintable(QDir::toNativeSeparators(fault.where.toString())),
                     qPrintable(fault.message));
    if (!content.faults.isEmpty())
        return 1;

    try {
        QDir().mkpath(QFileInfo(arguments.at(2)).absolutePath());
        ContentBuilder::writeDatabase(content, arguments.at(2));
        ContentBuilder::writeHelp(content, arguments.at(3));
    } catch (const Error &error) {
        std::fprintf(stderr, "error: %s\n", qPrintable(error.message()));
        return 1;
    }
    std::printf("%lld nodes, %lld documents, %lld questions, %lld oral questions\n",
                static_cast<long long>(content.tree.size()),
                static_cast<long long>(content.documents.size()),
                static_cast<long long>(content.questions.size()),
                static_cast<long long>(content.oralQuestions.size()));
    return 0;
}
