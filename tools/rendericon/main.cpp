// Renders an SVG picture to square PNG icons, one per size, in the layout of
// an icon theme:
//   voltaris-rendericon SVG_FILE OUTPUT_DIR NAME SIZE...
// writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/NAME.png.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 5) {
        std::fprintf(stderr, "usage: voltaris-rendericon SVG_FILE OUTPUT_DIR NAME SIZE...\n");
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a picture this renderer can draw\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    for (const QString &argument : arguments.mid(4)) {
        bool ok = false;
        const int size = argument.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "%s: not an icon size\n", qPrintable(argument));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString directory
            = QDir(arguments.at(2)).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString path = QDir(directory).filePath(arguments.at(3) + QStringLiteral(".png"));
        if (!QDir().mkpath(directory) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
