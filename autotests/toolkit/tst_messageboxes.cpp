#include "scriptedmessageboxes.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void fullStop_data();
    void fullStop();
    void standardErrorBox();
    void guardedOperationStopsAtTheError();
    void questionActsOnYesOnly_data();
    void questionActsOnYesOnly();
};

void TestMessageBoxes::fullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("ends in a letter") << u"no such table: tree"_s << u"no such table: tree."_s;
    QTest::newRow("ends in a digit") << u"Błąd 42"_s << u"Błąd 42."_s;
    QTest::newRow("ends in a Polish letter") << u"Brak pliku bazy źródłowej"_s
                                             << u"Brak pliku bazy źródłowej."_s;
    QTest::newRow("ends in a full stop") << u"Już jest kropka."_s << u"Już jest kropka."_s;
    QTest::newRow("ends in an exclamation mark") << u"Uwaga!"_s << u"Uwaga!"_s;
    QTest::newRow("ends in a closing bracket") << u"Błąd (kod 5)"_s << u"Błąd (kod 5)"_s;
    QTest::newRow("ends in a comma") << u"a,"_s << u"a,"_s;
    QTest::newRow("ends in a slash, which sorts after the stop") << u"katalog db/"_s
                                                                 << u"katalog db/."_s;
    QTest::newRow("ends in a question mark, which sorts after the stop") << u"Czy?"_s << u"Czy?."_s;
    QTest::newRow("ends in a quote") << u"Plik \"a\""_s << u"Plik \"a\""_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestMessageBoxes::fullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(MessageBoxes::withFullStop(message), shown);
}

void TestMessageBoxes::standardErrorBox()
{
    ScriptedMessageBoxes boxes;
    MessageBoxes::error(nullptr, u"unable to open database file"_s);
    QCOMPARE(boxes.count(), 1);
    const MessageBoxes::Request &box = boxes.shown().first();
    QCOMPARE(box.caption, u"Voltaris"_s);
    QCOMPARE(box.text, u"unable to open database file."_s);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageBoxes::guardedOperationStopsAtTheError()
{
    ScriptedMessageBoxes boxes;
    QStringList steps;
    const bool completed = runGuarded(nullptr, [&] {
        steps << u"first"_s;
        throw Error(u"disk I/O error"_s);
        steps << u"second"_s;
    });
    QVERIFY(!completed);
    QCOMPARE(steps, QStringList{u"first"_s});
    QCOMPARE(boxes.errors(), QStringList{u"disk I/O error."_s});

    QVERIFY(runGuarded(nullptr, [&] { steps << u"third"_s; }));
    QCOMPARE(boxes.count(), 1);
}

void TestMessageBoxes::questionActsOnYesOnly_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("yes") << QMessageBox::Yes << true;
    QTest::newRow("no") << QMessageBox::No << false;
    QTest::newRow("closed with Escape") << QMessageBox::Escape << false;
}

void TestMessageBoxes::questionActsOnYesOnly()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, accepted);
    ScriptedMessageBoxes boxes;
    boxes.answer(answer);
    QCOMPARE(MessageBoxes::question(nullptr, u"Voltaris"_s, u"Przywrócić ustawienia?"_s), accepted);
    QCOMPARE(boxes.shown().first().icon, QMessageBox::Question);
    QCOMPARE(boxes.shown().first().buttons, QMessageBox::Yes | QMessageBox::No);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
