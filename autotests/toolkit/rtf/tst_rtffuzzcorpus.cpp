// Replays the committed corpus of the RTF fuzz targets through their checks,
// so that what fuzzing once found stays fixed.

#include "rtfroundtrip.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {

const QStringList targets {QStringLiteral("rtf"), QStringLiteral("notes")};

QString corpusDir(const QString &target)
{
    return QStringLiteral(VOLTARIS_FUZZ_CORPUS "/") + target;
}

} // namespace

class TestRtfFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replay_data();
    void replay();

private:
    std::unique_ptr<NotesRoundTrip> m_notes;
};

void TestRtfFuzzCorpus::initTestCase()
{
    for (const QString &target : targets)
        QVERIFY2(!QDir(corpusDir(target)).isEmpty(QDir::Files), qPrintable(target));
    m_notes = std::make_unique<NotesRoundTrip>();
}

void TestRtfFuzzCorpus::replay_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    for (const QString &target : targets) {
        const QDir dir(corpusDir(target));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        for (const QString &name : names)
            QTest::addRow("%s/%s", qPrintable(target), qPrintable(name))
                << target << dir.filePath(name);
    }
}

void TestRtfFuzzCorpus::replay()
{
    QFETCH(QString, target);
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray data = file.readAll();
    const QString failure
        = target == QLatin1String("rtf") ? checkRtfRoundTrip(data) : m_notes->check(data);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_MAIN(TestRtfFuzzCorpus)
#include "tst_rtffuzzcorpus.moc"
