#include "regulations/qmx_tree.h"
#include "mainwindowfixture.h"
#include "shell/form_main.h"
#include "toolkit/frameanimation.h"
#include "toolkit/rtfview.h"
#include "toolkit/worker.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString NotFound = u"Nie znaleziono szukanej frazy"_s;

QByteArray longDocument()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250 Doz\\'f3r: NAPI\\'caCIE sieci.\\par ";
    for (int line = 0; line < 200; ++line)
        rtf += "Wiersz " + QByteArray::number(line) + " tekstu technicznego.\\par ";
    return rtf + "Na ko\\'f1cu \\'a3\\'f3d\\'9f.\\par}";
}

// Absolute index: item id, type, caption, document.
//  0: 1 section with a document       5: 2 heading
//  1: 11 two matches of "napięcie"    6: 3 section, a long document
//  2: 12 document without its row     7: 4 heading
//  3: 13 "aaa"                        8: 41 exam test entry
//  4: 14 damaged RTF
bool fillLibrary(TestDatabase &db)
{
    const QList<std::pair<int, QByteArray>> documents = {
        {1, "{\\rtf1\\ansi Spis regulacji\\par}"},
        {11, "{\\rtf1\\ansi\\ansicpg1250 Napi\\'eacie znamionowe i napi\\'eacie robocze.\\par}"},
        {13, "{\\rtf1\\ansi aaa}"},
        {14, "{\\rtf1\\ansi\\ansicpg1250 Uszkodzony \\'a3\\'b9cznik {\\b pogrub"},
        {3, longDocument()},
    };
    return db.insertDocuments(documents) && db.exec({
        u"INSERT INTO tree VALUES (1, NULL, 1, 'Regulacje prawne', NULL, 0, 1)"_s,
        u"INSERT INTO tree VALUES (11, 1, 1, 'Prawo energetyczne', NULL, 2, 1)"_s,
        u"INSERT INTO tree VALUES (12, 1, 1, 'Bez dokumentu', NULL, 2, 2)"_s,
        u"INSERT INTO tree VALUES (13, 1, 1, 'Trzy litery', NULL, 2, 3)"_s,
        u"INSERT INTO tree VALUES (14, 1, 1, 'Uszkodzony', NULL, 2, 4)"_s,
        u"INSERT INTO tree VALUES (2, NULL, 0, 'Regulamin', NULL, 1, 2)"_s,
        u"INSERT INTO tree VALUES (3, NULL, 1, 'Wiedza techniczna', NULL, 3, 3)"_s,
        u"INSERT INTO tree VALUES (4, NULL, 0, 'Testy', NULL, 4, 4)"_s,
        u"INSERT INTO tree VALUES (41, 4, 2, 'Test egzaminacyjny', NULL, 3, 1)"_s,
    });
}

constexpr int NodeCount = 9;

struct Fixture : MainWindowFixture
{
    Fixture()
    {
        filled = fillLibrary(db);
        open();
        phrase = window->findChild<QLineEdit *>(u"JvE_Find"_s);
        thisDocumentOnly = window->findChild<QCheckBox *>(u"CB_SearchThisDocOnly"_s);
        findButton = window->findChild<QPushButton *>(u"BB_Find"_s);
    }

    bool ready() const
    {
        return filled && active && tree && viewer && phrase && thisDocumentOnly && findButton;
    }

    // Puts the phrase into the box, as typing or pasting it would (the test
    // library types Latin-1 only), and clicks "Znajdź".
    void find(const QString &text) const
    {
        phrase->selectAll();
        phrase->insert(text);
        QTest::mouseClick(findButton, Qt::LeftButton);
    }
    int selectionStart() const { return viewer->textCursor().selectionStart(); }
    QString selectedText() const { return viewer->textCursor().selectedText(); }
    // The search's worker and its wait dialog: one of each, at rest.
    bool oneIdleWorker() const
    {
        const QList<Worker *> workers = window->findChildren<Worker *>();
        return workers.size() == 1 && !workers.first()->isRunning() && workers.first()->dialog()
            && !workers.first()->dialog()->isVisible();
    }

    QLineEdit *phrase = nullptr;
    QCheckBox *thisDocumentOnly = nullptr;
    QPushButton *findButton = nullptr;
};

bool isNotFoundBox(const MessageBoxes::Request &request)
{
    return request.caption == u"Szukanie"_s && request.text == NotFound
        && request.buttons == QMessageBox::Ok;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void panelIsEnabled();
    void enterSearchesTheTrimmedPhrase();
    void noDocumentShownSearchesAllFromTheFirstCharacter();
    void overlappingMatchesInThisDocument();
    void stepsThroughTheLibraryThenReportsNotFound();
    void phraseChange_data();
    void phraseChange();
    void thisDocumentAfterChoosingAnotherStartsAtItsTop();
    void bothModesShareThePosition();
    void matchWithoutSelectedNodeSelectsItsNode();
    void matchIsScrolledIntoViewAndStaysHighlighted();
    void notFoundIsShownBeforeTheWaitDialogCloses();
    void badPhrases_data();
    void badPhrases();
    void damagedDocumentIsSearched();
    void databaseErrorIsShownAndTheProgramGoesOn();
    void nothingHappensWhileClosing();
};

void TestSearch::panelIsEnabled()
{
    Fixture f;
    QVERIFY(f.ready());
    QVERIFY(f.phrase->isEnabled());
    QVERIFY(f.findButton->isEnabled());
    QVERIFY(f.thisDocumentOnly->isChecked());
    QVERIFY(!f.thisDocumentOnly->isEnabled());
    f.choose(11);
    QVERIFY(f.thisDocumentOnly->isEnabled());
    f.choose(12);
    QVERIFY(!f.thisDocumentOnly->isEnabled());
}

void TestSearch::enterSearchesTheTrimmedPhrase()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.phrase->setText(u" \t NAPIĘCIE  "_s);
    QTest::keyClick(f.phrase, Qt::Key_Return);
    QCOMPARE(f.phrase->text(), u"NAPIĘCIE"_s);
    QCOMPARE(f.window->searchState().FLastPhrase, u"NAPIĘCIE"_s);
    // The about page was shown: the press showed the selected node first,
    // and the box, disabled at the press, was unticked.
    QVERIFY(!f.thisDocumentOnly->isChecked());
    QCOMPARE(f.selectedIndex(), 1);
    QCOMPARE(f.selectionStart(), 0);
    QCOMPARE(f.selectedText(), u"Napięcie"_s);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::noDocumentShownSearchesAllFromTheFirstCharacter()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    QCOMPARE(f.window->currentPageName(), u"NP_Empty"_s);
    QVERIFY(f.thisDocumentOnly->isChecked());
    f.find(u"spis"_s);
    QVERIFY(!f.thisDocumentOnly->isChecked());
    QCOMPARE(f.selectedIndex(), 0);
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QCOMPARE(f.selectionStart(), 0);
    QCOMPARE(f.selectedText(), u"Spis"_s);
    QCOMPARE(f.window->focusWidget(), f.viewer);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::overlappingMatchesInThisDocument()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(13);
    QVERIFY(f.thisDocumentOnly->isEnabled() && f.thisDocumentOnly->isChecked());
    const QList<int> expected = {0, 1, -1, 0};
    for (int start : expected) {
        boxes.clear();
        f.find(u"aa"_s);
        QCOMPARE(f.selectedIndex(), 3);
        if (start < 0) {
            QCOMPARE(boxes.count(), 1);
            QVERIFY(isNotFoundBox(boxes.shown().first()));
        } else {
            QCOMPARE(boxes.count(), 0);
            QCOMPARE(f.selectionStart(), start);
            QCOMPARE(f.selectedText(), u"aa"_s);
        }
    }
}

void TestSearch::stepsThroughTheLibraryThenReportsNotFound()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    const QList<std::pair<int, int>> steps = {{1, 0}, {1, 22}, {6, 7}};
    QPointer<QDialog> previousDialog;
    for (const auto &[nodeIndex, start] : steps) {
        f.find(u"napięcie"_s);
        // Each search releases the worker and the dialog of the one before.
        QVERIFY(!previousDialog);
        QVERIFY(f.oneIdleWorker());
        previousDialog = f.window->findChild<Worker *>()->dialog();
        QCOMPARE(f.selectedIndex(), nodeIndex);
        QCOMPARE(f.selectionStart(), start);
        QCOMPARE(f.selectedText().toLower(), u"napięcie"_s);
    }
    QCOMPARE(boxes.count(), 0);

    for (int again = 0; again < 2; ++again) {
        f.find(u"napięcie"_s);
        QCOMPARE(boxes.count(), again + 1);
        QVERIFY(isNotFoundBox(boxes.shown().last()));
        QCOMPARE(f.window->searchState().FSearchNodeIndex, NodeCount);
        QCOMPARE(f.selectedIndex(), 6);
    }

    // Choosing a node starts from the first node again.
    f.choose(41);
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectedIndex(), 1);
    QCOMPARE(f.selectionStart(), 0);
}

void TestSearch::phraseChange_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("start");
    QTest::newRow("case of A to Z continues") << u"NAPIęCIE"_s << 22;
    QTest::newRow("case of a Polish letter restarts") << u"napiĘcie"_s << 0;
    QTest::newRow("other character restarts") << u"napięci"_s << 0;
}

void TestSearch::phraseChange()
{
    QFETCH(QString, second);
    QFETCH(int, start);
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectionStart(), 0);
    f.find(second);
    QCOMPARE(f.selectedIndex(), 1);
    QCOMPARE(f.selectionStart(), start);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::thisDocumentAfterChoosingAnotherStartsAtItsTop()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.find(u"napięcie"_s);
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectionStart(), 22);
    f.choose(3);
    f.thisDocumentOnly->setChecked(true);
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectedIndex(), 6);
    QCOMPARE(f.selectionStart(), 7);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::bothModesShareThePosition()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectionStart(), 0);
    QTest::mouseClick(f.thisDocumentOnly, Qt::LeftButton);
    QVERIFY(f.thisDocumentOnly->isChecked());
    f.find(u"napięcie"_s);
    QCOMPARE(f.selectedIndex(), 1);
    QCOMPARE(f.selectionStart(), 22);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::matchWithoutSelectedNodeSelectsItsNode()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.tree->setCurrentItem(nullptr);
    f.tree->clearSelection();
    QCOMPARE(f.selectedIndex(), -1);
    QCOMPARE(f.window->currentPageName(), u"NP_About"_s);
    f.find(u"łącznik"_s);
    QCOMPARE(f.selectedIndex(), 4);
    QCOMPARE(f.window->currentPageName(), u"NP_Document"_s);
    QCOMPARE(f.selectedText(), u"Łącznik"_s);
    QCOMPARE(boxes.count(), 0);
}

void TestSearch::matchIsScrolledIntoViewAndStaysHighlighted()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.find(u"łódź"_s);
    QCOMPARE(f.selectedIndex(), 6);
    QCOMPARE(f.selectedText(), u"Łódź"_s);
    QVERIFY(f.viewer->verticalScrollBar()->value() > 0);
    QVERIFY(f.viewer->viewport()->rect().contains(f.viewer->cursorRect()));
    const QPalette palette = f.viewer->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText),
             palette.color(QPalette::Active, QPalette::HighlightedText));
}

void TestSearch::notFoundIsShownBeforeTheWaitDialogCloses()
{
    Fixture f;
    QVERIFY(f.ready());
    f.choose(2);
    struct Seen
    {
        QString title;
        QString info;
        bool visible = false;
        bool animating = false;
    };
    QList<Seen> seen;
    const MessageBoxes::Presenter previous
        = MessageBoxes::setPresenter([&seen](const MessageBoxes::Request &request) {
              auto *dialog = qobject_cast<QDialog *>(request.parent);
              Seen now;
              if (dialog) {
                  now.title = dialog->windowTitle();
                  now.visible = dialog->isVisible();
                  if (auto *info = dialog->findChild<QLabel *>(u"infoText"_s))
                      now.info = info->text();
                  if (auto *animation = dialog->findChild<FrameAnimation *>())
                      now.animating = animation->isRunning();
              }
              if (request.text == NotFound)
                  seen.append(now);
              return QMessageBox::Ok;
          });
    f.find(u"nigdzie"_s);
    MessageBoxes::setPresenter(previous);
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().title, u"Szukanie"_s);
    QCOMPARE(seen.first().info, u"Trwa przeszukiwanie"_s);
    QVERIFY(seen.first().visible);
    QVERIFY(seen.first().animating);
    QVERIFY(f.oneIdleWorker());
}

void TestSearch::badPhrases_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"   "_s;
    QTest::newRow("10,000 characters") << QString(10000, u'n');
    QTest::newRow("SQL and pattern characters") << u"%_*\\' or '1'='1"_s;
    QTest::newRow("percent is no wildcard") << u"spis%"_s;
}

void TestSearch::badPhrases()
{
    QFETCH(QString, typed);
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.phrase->setText(typed);
    QTest::mouseClick(f.findButton, Qt::LeftButton);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(isNotFoundBox(boxes.shown().first()));
    QVERIFY(boxes.errors().isEmpty());
    QVERIFY(f.oneIdleWorker());
    QCOMPARE(f.selectedIndex(), TreeIndex::indexOf(f.tree, TreeIndex::firstWithItemId(f.tree, 2)));
    // The program goes on: a good phrase is found from the first node.
    boxes.clear();
    f.find(u"robocze"_s);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(f.selectedIndex(), 1);
}

void TestSearch::damagedDocumentIsSearched()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    f.find(u"uszkodzony łą"_s);
    QCOMPARE(f.selectedIndex(), 4);
    QCOMPARE(f.selectionStart(), 0);
    QVERIFY(boxes.errors().isEmpty());
}

void TestSearch::databaseErrorIsShownAndTheProgramGoesOn()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(2);
    QVERIFY(f.db.exec({u"DROP TABLE tree_documents"_s}));
    f.find(u"napięcie"_s);
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(u"no such table: tree_documents"_s),
             qPrintable(boxes.errors().first()));
    QVERIFY(f.oneIdleWorker());
    QVERIFY(f.window->isEnabled());
    QCOMPARE(f.selectedIndex(), 5);
    // The next search goes through the same path again, and ends the same way.
    boxes.clear();
    f.find(u"napięcie"_s);
    QCOMPARE(boxes.errors().size(), 1);
    f.choose(41);
    QCOMPARE(f.window->currentPageName(), u"NP_Test_0"_s);
}

void TestSearch::nothingHappensWhileClosing()
{
    Fixture f;
    QVERIFY(f.ready());
    ScriptedMessageBoxes boxes;
    f.choose(11);
    QVERIFY(f.window->close());
    f.find(u"napięcie"_s);
    QCOMPARE(boxes.count(), 0);
    QVERIFY(f.window->findChildren<QDialog *>().isEmpty());
    QVERIFY(f.window->searchState().FLastPhrase.isEmpty());
    QVERIFY(!f.viewer->textCursor().hasSelection());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
