// The files that make the program a desktop citizen: valid for the tools the
// desktop reads them with, and agreeing with each other and the program.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

const QString AppId = u"pl.voltaris.Voltaris"_s;

QString packagingFile(const QString &name)
{
    return QDir(QStringLiteral(VOLTARIS_PACKAGING_DIR)).filePath(name);
}

// The text of the first element of the name given, with the attribute given
// (or none).
QString metainfoText(const QString &element, const QString &attribute = {})
{
    QFile file(packagingFile(AppId + u".metainfo.xml"_s));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != element)
            continue;
        if (attribute.isEmpty())
            return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        return xml.attributes().value(attribute).toString();
    }
    return {};
}

} // namespace

class TestDesktopFiles : public QObject
{
    Q_OBJECT

private slots:
    void validates_data();
    void validates();
    void filesAgree();
};

void TestDesktopFiles::validates_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("desktop entry")
        << u"desktop-file-validate"_s << QStringList {packagingFile(AppId + u".desktop"_s)};
    QTest::newRow("AppStream metainfo")
        << u"appstreamcli"_s
        << QStringList {u"validate"_s, u"--no-net"_s, packagingFile(AppId + u".metainfo.xml"_s)};
}

void TestDesktopFiles::validates()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + u" is not installed"_s));
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString output
        = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             qPrintable(output));
    // Warnings fail too; the hint about two main categories is what the
    // menu entry asks for.
    QVERIFY2(!output.contains(u"error"_s, Qt::CaseInsensitive)
                 && !output.contains(u"warning"_s, Qt::CaseInsensitive),
             qPrintable(output));
}

void TestDesktopFiles::filesAgree()
{
    QSettings desktop(packagingFile(AppId + u".desktop"_s), QSettings::IniFormat);
    desktop.beginGroup(u"Desktop Entry"_s);
    QCOMPARE(desktop.value(u"Icon"_s).toString(), AppId);
    QCOMPARE(desktop.value(u"Exec"_s).toString(), u"voltaris"_s);

    QCOMPARE(metainfoText(u"id"_s), AppId);
    QCOMPARE(metainfoText(u"launchable"_s), AppId + u".desktop"_s);
    QCOMPARE(metainfoText(u"binary"_s), u"voltaris"_s);
    // The newest release, listed first, is the version being built.
    QCOMPARE(metainfoText(u"release"_s, u"version"_s), QStringLiteral(VOLTARIS_VERSION));
}

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
