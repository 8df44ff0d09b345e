#include "regulations/qmx_tree.h"
#include "mainwindowfixture.h"
#include "shell/form_main.h"
#include "shell/searchresultsview.h"
#include "toolkit/rtfview.h"
#include "toolkit/worker.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// Absolute index: item id, type, document.
//  0: 1 section, "Spis regulacji"
//  1: 11 "Napięcie ... napięcie", twice
//  2: 12 document without its row
//  3: 13 damaged RTF
//  4: 2 heading
//  5: 3 section, "NAPIĘCIE" at 7
//  6: 4 heading
//  7: 41 exam test entry
// Questions: 7 of section 4 with "napiecie" in answer C, the right one;
// 8 of section 29 without it.
bool fillLibrary(TestDatabase &db)
{
    const QList<std::pair<int, QByteArray>> documents = {
        {1, "{\\rtf1\\ansi Spis regulacji\\par}"},
        {11, "{\\rtf1\\ansi\\ansicpg1250 Napi\\'eacie znamionowe i napi\\'eacie robocze.\\par}"},
        {13, "{\\rtf1\\ansi\\ansicpg1250 Uszkodzony \\'a3\\'b9cznik {\\b pogrub"},
        {3, "{\\rtf1\\ansi\\ansicpg1250 Dozor: NAPI\\'caCIE sieci.\\par}"},
    };
    return db.insertDocuments(documents) && db.exec({
        u"INSERT INTO tree VALUES (1, NULL, 1, 'Regulacje prawne', NULL, 0, 1)"_s,
        u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 2, 1)"_s,
        u"INSERT INTO tree VALUES (12, 1, 1, 'Bez dokumentu', NULL, 2, 2)"_s,
        u"INSERT INTO tree VALUES (13, 1, 1, 'Uszkodzony', NULL, 2, 3)"_s,
        u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin', NULL, 1, 2)"_s,
        u"INSERT INTO tree VALUES (3, NULL, 1, 'Wiedza techniczna', NULL, 3, 3)"_s,
        u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
        u"INSERT INTO tree VALUES (41, 4, 2, 'Test egzaminacyjny', NULL, 3, 1)"_s,
        u"INSERT INTO test_pytania VALUES (7, '{\\rtf1\\ansi Jakie napi\\u281?cie ma sie\\u263? "
        u"domowa?}', "
        "'400 V', '110 V', '230 V, napiecie fazowe', 'C', 4)"_s,
        u"INSERT INTO test_pytania VALUES (8, 'Czym gasi\u0107 po\u017car?', 'wod\u0105', "
        "'ga\u015bnic\u0105', 'piaskiem', 'B', 29)"_s,
        u"INSERT INTO test_zestaw (id_pytanie, poprawna_odpowiedz) VALUES (8, 'B')"_s,
    });
}

struct Fixture : MainWindowFixture
{
    Fixture()
    {
        filled = fillLibrary(db);
        open();
        phrase = window->findChild<QLineEdit *>(u"JvE_Find"_s);
        findButton = window->findChild<QPushButton *>(u"BB_Find"_s);
        findAllButton = window->findChild<QPushButton *>(u"BB_FindAll"_s);
    }

    bool ready() const
    {
        return filled && active && tree && viewer && phrase && findButton && findAllButton;
    }

    // Types the phrase into the panel's box and asks for every match.
    SearchResultsView *findAll(const QString &text) const
    {
        phrase->selectAll();
        phrase->insert(text);
        QTest::mouseClick(findAllButton, Qt::LeftButton);
        return view();
    }
    SearchResultsView *view() const { return window->findChild<SearchResultsView *>(); }
    QTreeWidget *list() const { return view()->findChild<QTreeWidget *>(u"TV_SearchResults"_s); }
    QString summary() const { return view()->findChild<QLabel *>(u"L_SearchSummary"_s)->text(); }
    // Clicks a row of the list, as the user would.
    void click(QTreeWidgetItem *item) const
    {
        list()->scrollToItem(item);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(item).center());
    }
    QStringList groups() const
    {
        QStringList captions;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            captions.append(list()->topLevelItem(i)->data(0, Qt::UserRole + 3).toString());
        return captions;
    }

    QLineEdit *phrase = nullptr;
    QPushButton *findButton = nullptr;
    QPushButton *findAllButton = nullptr;
};

} // namespace

class TestSearchResults : public QObject
{
    Q_OBJECT

private slots:
    void listsEveryMatch_data();
    void listsEveryMatch();
    void shortcutOpensTheListWithoutTouchingThePanel();
    void coldSearchRunsBehindTheWorkerWarmOneDirectly();
    void choosingADocumentMatchLandsThereAndThePanelGoesOn();
    void choosingAQuestionShowsItsRightAnswer();
    void polishLettersCountWhenTicked();
    void databaseErrorIsShownAndTheProgramGoesOn();
};

void TestSearchResults::listsEveryMatch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("without Polish letters")
        << u"  napiecie "_s << u"<b>„napiecie”</b>: 3 wyniki w 2 dokumentach, 2 w pytaniach"_s
        << QStringList {u"<b>Prawo energetyczne</b> (2)"_s, u"<b>Wiedza techniczna</b> (1)"_s,
                        u"<b>Pytania</b> (2)"_s};
    QTest::newRow("damaged document read as far as it goes")
        << u"LACZNIK"_s << u"<b>„LACZNIK”</b>: 1 wynik w 1 dokumencie, 0 w pytaniach"_s
        << QStringList {u"<b>Uszkodzony</b> (1)"_s};
    QTest::newRow("pattern characters are literal")
        << u"n%e_(*\"\\"_s << u"<b>„n%e_(*&quot;\\”</b>: Brak wyników"_s << QStringList {};
    QTest::newRow("blanks only") << u"   "_s << u"Wpisz szukaną frazę w polu „Szukanie”."_s
                                 << QStringList {};
}

void TestSearchResults::listsEveryMatch()
{
    QFETCH(QString, typed);
    QFETCH(QString, summary);
    QFETCH(QStringList, groups);
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    SearchResultsView *view = f.findAll(typed);
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(f.summary(), summary);
    QCOMPARE(f.groups(), groups);
    QCOMPARE(boxes.count(), 0);
}

void TestSearchResults::shortcutOpensTheListWithoutTouchingThePanel()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.phrase->setText(u"robocze"_s);
    QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(f.view());
    QTRY_VERIFY(f.view()->isVisible());
    QCOMPARE(f.groups(), QStringList {u"<b>Prawo energetyczne</b> (1)"_s});
    // The panel's own search has not moved.
    QVERIFY(f.window->searchState().FLastPhrase.isEmpty());
    QCOMPARE(f.window->searchState().FSearchNodeIndex, 0);
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
    QCOMPARE(boxes.count(), 0);
}

void TestSearchResults::coldSearchRunsBehindTheWorkerWarmOneDirectly()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.findAll(u"napiecie"_s);
    // Every document node was read, the one without its row too.
    QCOMPARE(f.window->documentTexts().count(), 5);
    const QList<Worker *> workers = f.window->findChildren<Worker *>();
    QCOMPARE(workers.size(), 1);
    QSignalSpy runs(workers.first(), &Worker::finished);
    f.findAll(u"sieci"_s);
    QCOMPARE(runs.count(), 0);
    QCOMPARE(f.groups(), QStringList {u"<b>Wiedza techniczna</b> (1)"_s});
    QCOMPARE(boxes.count(), 0);
}

void TestSearchResults::choosingADocumentMatchLandsThereAndThePanelGoesOn()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.findAll(u"napięcie"_s);
    QVERIFY(QTest::qWaitForWindowExposed(f.view()));
    QTreeWidgetItem *second = f.list()->topLevelItem(0)->child(1);
    QVERIFY(second);
    f.click(second);
    QCOMPARE(f.selectedIndex(), 1);
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QCOMPARE(f.viewer->textCursor().selectionStart(), 22);
    QCOMPARE(f.viewer->textCursor().selectedText(), u"napięcie"_s);
    // Both matches of the shown document are lit while the list is up.
    QList<int> lit;
    for (const QTextEdit::ExtraSelection &selection : f.viewer->extraSelections())
        lit.append(selection.cursor.selectionStart());
    QCOMPARE(lit, (QList<int> {0, 22}));

    // The panel goes on after the chosen match, in this document and then
    // in the library.
    auto *thisDocumentOnly = f.window->findChild<QCheckBox *>(u"CB_SearchThisDocOnly"_s);
    QVERIFY(thisDocumentOnly->isChecked());
    QTest::mouseClick(f.findButton, Qt::LeftButton);
    QCOMPARE(boxes.count(), 1);
    boxes.clear();
    QTest::mouseClick(f.findButton, Qt::LeftButton);
    QCOMPARE(f.viewer->textCursor().selectionStart(), 0);
    f.click(second);
    QTest::mouseClick(thisDocumentOnly, Qt::LeftButton);
    QTest::mouseClick(f.findButton, Qt::LeftButton);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(f.selectedIndex(), 5);
    QCOMPARE(f.viewer->textCursor().selectionStart(), 7);
    QCOMPARE(f.viewer->textCursor().selectedText(), u"NAPIĘCIE"_s);
    QCOMPARE(f.viewer->extraSelections().size(), 1);

    f.view()->close();
    QVERIFY(f.viewer->extraSelections().isEmpty());
}

void TestSearchResults::choosingAQuestionShowsItsRightAnswer()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.findAll(u"napiecie"_s);
    QVERIFY(QTest::qWaitForWindowExposed(f.view()));
    QTreeWidgetItem *questions = f.list()->topLevelItem(2);
    QCOMPARE(questions->childCount(), 2);
    QVERIFY(
        questions->child(0)
            ->data(0, Qt::UserRole + 3)
            .toString()
            .contains(
                u"Pytanie nr 7, II.2. Sieci, urządzenia i instalacje o napięciu do 1 kV, treść pytania"_s));
    f.click(questions->child(1));
    auto *shown = f.view()->findChild<QTextBrowser *>(u"TB_SearchQuestion"_s);
    QVERIFY(shown->isVisible());
    QVERIFY(shown->isReadOnly());
    const QStringList lines = shown->toPlainText().split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.contains(u"Jakie napięcie ma sieć domowa?"_s), qPrintable(lines.join(u'|')));
    QVERIFY(lines.contains(u"A"_s));
    const qsizetype right = lines.indexOf(u"230 V, napiecie fazowe ✔ poprawna odpowiedź"_s);
    QVERIFY2(right > 0 && lines.at(right - 1) == u"C"_s, qPrintable(lines.join(u'|')));
    QCOMPARE(shown->toPlainText().count(u"poprawna odpowiedź"_s), 1);
    // The current test is left as it was.
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
    QCOMPARE(f.db.scalar(u"SELECT count(*) FROM test_zestaw WHERE id_pytanie = 8 "
                         "AND udzielona_odpowiedz IS NULL"_s)
                 .toInt(),
             1);
}

void TestSearchResults::polishLettersCountWhenTicked()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.findAll(u"napiecie"_s);
    QVERIFY(QTest::qWaitForWindowExposed(f.view()));
    auto *polish = f.view()->findChild<QCheckBox *>(u"CB_PolishLetters"_s);
    QVERIFY(!polish->isChecked());
    // On the box itself: the check box spans the window's width.
    const QPoint box(8, polish->height() / 2);
    QTest::mouseClick(polish, Qt::LeftButton, {}, box);
    QCOMPARE(f.summary(), u"<b>„napiecie”</b>: 0 wyników w 0 dokumentach, 1 w pytaniach"_s);
    QTest::mouseClick(polish, Qt::LeftButton, {}, box);
    QCOMPARE(f.summary(), u"<b>„napiecie”</b>: 3 wyniki w 2 dokumentach, 2 w pytaniach"_s);
}

void TestSearchResults::databaseErrorIsShownAndTheProgramGoesOn()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    QVERIFY(f.db.exec({u"DROP TABLE test_pytania"_s}));
    f.findAll(u"napiecie"_s);
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(u"no such table: test_pytania"_s),
             qPrintable(boxes.errors().first()));
    QVERIFY(!f.view()->isVisible());
    QVERIFY(f.window->isEnabled());
    // The panel's search still works.
    f.phrase->setText(u"robocze"_s);
    QTest::mouseClick(f.findButton, Qt::LeftButton);
    QCOMPARE(f.selectedIndex(), 1);
}

QTEST_MAIN(TestSearchResults)
#include "tst_searchresults.moc"
