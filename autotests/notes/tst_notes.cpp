#include "data/database.h"
#include "notes/form_notes.h"
#include "ordinaryuser.h"
#include "scriptedmessageboxes.h"
#include "shell/form_main.h"
#include "testdatabase.h"
#include "toolkit/colorcombobox.h"
#include "toolkit/navigationbutton.h"
#include "toolkit/rtf/rtfreader.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QDateTime March3(QDate(2024, 3, 3), QTime(9, 5));
const int NoAutosave = 24 * 3600 * 1000;

// Notes 1, 2 and 3 with the texts "A", "B" and "C"; the list shows C, B, A.
bool fillThree(TestDatabase &db)
{
    return db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', 'A')"_s,
                    u"INSERT INTO notes VALUES (2, '2024-01-02T08:00:00', 'B')"_s,
                    u"INSERT INTO notes VALUES (3, '2024-01-03T08:00:00', 'C')"_s});
}

// The text a stored note holds, as a reader of it sees it.
QString storedText(TestDatabase &db, qint64 noteId)
{
    QTextDocument document;
    RtfReader::read(
        db.scalar(u"SELECT tresc FROM notes WHERE note_id = %1"_s.arg(noteId)).toByteArray(),
        &document);
    return RtfReader::plainText(document).trimmed();
}

// Types as a user does; letters beyond ASCII come as the text of their key.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// A notes window on the program's connection to a fixture database, with a
// clock that ticks a minute at every reading.
struct Fixture
{
    explicit Fixture(TestDatabase &database, int autosaveDelayMs = NoAutosave) : db(database)
    {
        Database::open(db.databaseDirectory());
        TF_Notes::Options options;
        options.clock = [this] { return March3.addSecs(60 * ticks++); };
        options.autosaveDelayMs = autosaveDelayMs;
        options.printDialog = [this](QPrinter *printer, QWidget *) {
            printedJob = printer->docName();
            if (printTo.isEmpty())
                return false;
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printTo);
            return true;
        };
        options.fontDialog = [this](const QFont &initial, QWidget *) {
            presetFont = initial;
            return chosenFont;
        };
        options.colorDialog = [this](const QColor &, QWidget *) { return chosenColor; };
        window = std::make_unique<TF_Notes>(options);
    }
    ~Fixture()
    {
        window.reset();
        Database::close();
    }

    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    template<typename T = QWidget> T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QAction *action(const QString &name) const { return child<QAction>(name); }
    QTextEdit *editor() const { return child<QTextEdit>(u"DBRE_Notatka"_s); }
    QTableView *list() const { return child<QTableView>(u"DBG_NotesList"_s); }
    void chooseRow(int row) const
    {
        const QRect cell = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void typeAtEnd(const QString &text) const
    {
        editor()->setFocus();
        editor()->moveCursor(QTextCursor::End);
        typeText(editor(), text);
    }

    TestDatabase &db;
    std::unique_ptr<TF_Notes> window;
    int ticks = 0;
    QString printTo;
    QString printedJob;
    QFont presetFont;
    std::optional<QFont> chosenFont;
    QColor chosenColor;
};

} // namespace

class TestNotesWindow : public QObject
{
    Q_OBJECT

private slots:
    void windowAsDesigned();
    void firstOpeningOnAnEmptyTable_data();
    void firstOpeningOnAnEmptyTable();
    void newNoteHasABoldHeaderAndARegularLineBelow();
    void twoNewNotesTheSecondOnTop();
    void typingThenClosingStoresAndReopeningShows();
    void programEndStoresThePendingChange();
    void autosaveStoresWithoutMovingTheCaret();
    void deleteNote_data();
    void deleteNote();
    void deleteWithoutNotesAsksNothing();
    void shownAgainAfterTheLastNoteWasDeleted();
    void toolbarFollowsTheCaret();
    void sizeBox_data();
    void sizeBox();
    void ownColourIsAddedAsWlasny();
    void formatsSurviveStoringAndReopening();
    void fontDialogFormatsTheSelection();
    void undoDoesNotCrossNotes();
    void damagedNotesOpenWithWhatCanBeRead_data();
    void damagedNotesOpenWithWhatCanBeRead();
    void megabyteNoteSavesAndLoads();
    void readOnlyDatabaseKeepsTheTextAndReportsOnce();
    void printsTheNoteAsOneNamedJob();
    void notatnikBringsTheSameWindowToTheFront();
};

void TestNotesWindow::windowAsDesigned()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    QCOMPARE(f.window->windowTitle(), u"Notatnik"_s);
    QCOMPARE(f.window->size(), QSize(762, 455));
    QVERIFY(f.window->windowFlags().testFlag(Qt::Tool));
    const QPoint offCentre
        = f.window->geometry().center() - f.window->screen()->availableGeometry().center();
    // Within the width of a window frame.
    QVERIFY2(qAbs(offCentre.x()) <= 3 && qAbs(offCentre.y()) <= 3,
             "the window opens in the middle of the screen");
    const QPalette palette = f.editor()->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(f.list()->toolTip(), u"Wybierz notatkę"_s);
    QCOMPARE(f.list()->model()->headerData(0, Qt::Horizontal).toString(),
             u"Czas stworzenia notatki"_s);
    QCOMPARE(f.list()->columnWidth(0), 117);
    QCOMPARE(f.list()->model()->columnCount(), 1);
    QCOMPARE(f.list()->model()->index(0, 0).data().toString(),
             NotesTable::displayText(QDateTime(QDate(2024, 1, 3), QTime(8, 0))));
    QCOMPARE(f.editor()->document()->defaultFont().family(), u"Tahoma"_s);
    QCOMPARE(f.editor()->document()->defaultFont().pointSize(), 9);

    auto *sizes = f.child<QComboBox>(u"CB_FontSize"_s);
    QStringList expectedSizes;
    for (int size = 9; size <= 20; ++size)
        expectedSizes << QString::number(size);
    QStringList items;
    for (int i = 0; i < sizes->count(); ++i)
        items << sizes->itemText(i);
    QCOMPARE(items, expectedSizes);

    auto *colours = f.child<ColorComboBox>(u"JCCB_FontColor"_s);
    QCOMPARE(colours->count(), 21);
    QCOMPARE(colours->itemText(0), u"Black"_s);
    QCOMPARE(colours->itemText(17), u"Sky blue"_s);
    QCOMPARE(colours->itemData(17).value<QColor>(), QColor(166, 202, 240));
    QCOMPARE(colours->itemText(20), u"Definicja własnego koloru..."_s);

    for (const auto &[name, tip] :
         {std::pair {"TB_Bold", "Pogrubienie"}, std::pair {"TB_Italic", "Kursywa"},
          std::pair {"TB_Underline", "Podkreślienie"},
          std::pair {"TB_StrikeOut", "Przekreślenie"}}) {
        QVERIFY(f.action(QLatin1String(name))->isCheckable());
        QCOMPARE(f.action(QLatin1String(name))->toolTip(), QString::fromUtf8(tip));
    }
    QCOMPARE(f.action(u"TB_New"_s)->statusTip(), u"Tworzy nową notatkę"_s);
    QCOMPARE(f.action(u"TD_Delete"_s)->statusTip(), u"Usuwa wybraną notatkę"_s);
}

void TestNotesWindow::firstOpeningOnAnEmptyTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onOpening");
    QTest::addColumn<bool>("afterNewNote");

    const auto row = [](const char *name, bool onOpening, bool afterNewNote) {
        QTest::newRow(name) << QString::fromLatin1(name) << onOpening << afterNewNote;
    };
    row("DBG_NotesList", false, true);
    row("DBRE_Notatka", false, true);
    row("TB_New", true, true);
    row("TD_Delete", false, true);
    row("TD_Print", false, true);
    row("TB_Undo", false, true); // the header's formatting can be undone
    row("TB_Cut", false, false);
    row("TB_Copy", false, false);
    row("TB_Paste", false, true);
    row("JFCB_Font", false, true);
    row("CB_FontSize", false, true);
    row("JCCB_FontColor", false, true);
    row("TB_Bold", false, true);
    row("TB_Italic", false, true);
    row("TB_Underline", false, true);
    row("TB_StrikeOut", false, true);
    row("Dodajnow1", true, true);
    row("Usu1", true, true);
    row("Drukuj1", true, true);
    row("Cofnij1", false, true);
    row("Wytnij1", false, false);
    row("Kopiuj1", false, false);
    row("Wklej1", false, false); // once disabled it stays so while the window lives
    row("Format1", true, true);
}

void TestNotesWindow::firstOpeningOnAnEmptyTable()
{
    QFETCH(QString, name);
    QFETCH(bool, onOpening);
    QFETCH(bool, afterNewNote);
    TestDatabase db;
    Fixture f(db);
    const auto enabled = [&] {
        if (QAction *action = f.action(name))
            return action->isEnabled();
        QWidget *widget = f.child(name);
        return widget && widget->isEnabled();
    };
    QVERIFY(f.action(name) || f.child(name));
    QVERIFY(f.show());
    QCOMPARE(enabled(), onOpening);
    f.action(u"TB_New"_s)->trigger();
    QCOMPARE(enabled(), afterNewNote);
}

void TestNotesWindow::newNoteHasABoldHeaderAndARegularLineBelow()
{
    TestDatabase db;
    Fixture f(db);
    QVERIFY(f.show());
    f.action(u"TB_New"_s)->trigger();

    QTextDocument *document = f.editor()->document();
    QCOMPARE(document->blockCount(), 2);
    const QTextBlock header = document->firstBlock();
    QCOMPARE(header.text(), u"Notatka dodana 2024-03-03 09:05"_s);
    QTextCursor inHeader(header);
    inHeader.setPosition(header.position() + 3);
    const QFont headerFont = inHeader.charFormat().font();
    QVERIFY(headerFont.bold());
    QCOMPARE(headerFont.family(), u"Tahoma"_s);
    QCOMPARE(headerFont.pointSize(), 9);
    QCOMPARE(inHeader.charFormat().foreground().color(), QColor(Qt::black));

    QCOMPARE(f.editor()->textCursor().position(), document->lastBlock().position());
    QVERIFY(document->lastBlock().text().isEmpty());
    QVERIFY(!f.action(u"TB_Bold"_s)->isChecked());
    QCOMPARE(f.child<QComboBox>(u"CB_FontSize"_s)->currentText(), u"9"_s);
    QVERIFY(f.editor()->hasFocus() || !f.window->isActiveWindow());

    typeText(f.editor(), u"treść"_s);
    QTextCursor typed(document->lastBlock());
    typed.movePosition(QTextCursor::EndOfBlock);
    QVERIFY(!typed.charFormat().font().bold());
    QCOMPARE(typed.charFormat().font().family(), u"Tahoma"_s);

    QCOMPARE(f.list()->model()->rowCount(), 1);
    QCOMPARE(f.list()->model()->index(0, 0).data().toString(), NotesTable::displayText(March3));
    QCOMPARE(db.scalar(u"SELECT row_added_dttm FROM notes"_s).toString(), u"2024-03-03T09:05:00"_s);
    QCOMPARE(f.window->notes().state(), NotesTable::State::Editing);
}

void TestNotesWindow::twoNewNotesTheSecondOnTop()
{
    TestDatabase db;
    Fixture f(db);
    QVERIFY(f.show());
    f.action(u"TB_New"_s)->trigger();
    f.typeAtEnd(u"pierwsza"_s);
    f.action(u"Dodajnow1"_s)->trigger();
    QCOMPARE(f.list()->model()->rowCount(), 2);
    QCOMPARE(f.list()->currentIndex().row(), 0);
    QCOMPARE(f.list()->model()->index(0, 0).data(NotesTable::DateTimeRole).toDateTime(),
             March3.addSecs(60));
    QCOMPARE(f.editor()->document()->firstBlock().text(), u"Notatka dodana 2024-03-03 09:06"_s);
    // The first note was stored when the second was made.
    QCOMPARE(storedText(db, 1), u"Notatka dodana 2024-03-03 09:05\npierwsza"_s);
}

void TestNotesWindow::typingThenClosingStoresAndReopeningShows()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    f.typeAtEnd(u" zażółć"_s);
    QCOMPARE(f.window->notes().state(), NotesTable::State::Editing);
    f.window->close();
    QVERIFY(!f.window->isVisible());
    QCOMPARE(storedText(db, 3), u"C zażółć"_s);
    QCOMPARE(f.window->notes().state(), NotesTable::State::Browsing);

    QVERIFY(f.show());
    QCOMPARE(f.editor()->toPlainText(), u"C zażółć"_s);
    QCOMPARE(f.list()->currentIndex().row(), 0);
}

void TestNotesWindow::programEndStoresThePendingChange()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    f.chooseRow(1);
    f.typeAtEnd(u" na koniec"_s);
    f.window.reset(); // as the main window's end destroys it, open
    QCOMPARE(storedText(db, 2), u"B na koniec"_s);
}

void TestNotesWindow::autosaveStoresWithoutMovingTheCaret()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', '%1')"_s.arg(
        u"wiersz\n"_s.repeated(200))}));
    Fixture f(db, 50);
    QVERIFY(f.show());
    QSignalSpy autosaved(f.window.get(), &TF_Notes::autosaved);
    f.editor()->setFocus();
    QTextCursor cursor = f.editor()->textCursor();
    cursor.setPosition(7 * 100);
    f.editor()->setTextCursor(cursor);
    f.editor()->ensureCursorVisible();
    QTest::keyClicks(f.editor(), u"XY"_s);
    const int caret = f.editor()->textCursor().position();
    const int scroll = f.editor()->verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    QVERIFY(autosaved.wait());
    QVERIFY(storedText(db, 1).contains(u"XYwiersz"_s));
    QCOMPARE(f.window->notes().state(), NotesTable::State::Editing);
    QCOMPARE(f.editor()->textCursor().position(), caret);
    QCOMPARE(f.editor()->verticalScrollBar()->value(), scroll);
    // Typing goes on in the same note and is stored again.
    QTest::keyClicks(f.editor(), u"Z"_s);
    QVERIFY(autosaved.wait());
    QVERIFY(storedText(db, 1).contains(u"XYZwiersz"_s));
}

void TestNotesWindow::deleteNote_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("No: nothing changes")
        << QMessageBox::No << 1 << QStringList {u"C"_s, u"B"_s, u"A"_s} << u"B"_s;
    QTest::newRow("Yes: the next note is shown")
        << QMessageBox::Yes << 1 << QStringList {u"C"_s, u"A"_s} << u"A"_s;
    QTest::newRow("Yes on the last: the previous is shown")
        << QMessageBox::Yes << 2 << QStringList {u"C"_s, u"B"_s} << u"B"_s;
}

void TestNotesWindow::deleteNote()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, row);
    QFETCH(QStringList, listed);
    QFETCH(QString, shown);
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    f.chooseRow(row);
    ScriptedMessageBoxes boxes;
    boxes.answer(answer);
    f.action(u"TD_Delete"_s)->trigger();
    QCOMPARE(boxes.count(), 1);
    const MessageBoxes::Request &box = boxes.shown().first();
    QCOMPARE(box.caption, u"Potwierdzenie usunięcia notatki"_s);
    QCOMPARE(box.text, u"Czy na pewno chcesz usunąć notatkę?"_s);
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);

    QStringList stored;
    for (const QVariantList &r : db.rows(u"SELECT tresc FROM notes ORDER BY note_id DESC"_s))
        stored << r.first().toString();
    QCOMPARE(stored, listed);
    QCOMPARE(f.list()->model()->rowCount(), listed.size());
    QCOMPARE(f.editor()->toPlainText(), shown);
    QCOMPARE(f.list()->currentIndex().row(), int(listed.indexOf(shown)));
}

void TestNotesWindow::deleteWithoutNotesAsksNothing()
{
    TestDatabase db;
    Fixture f(db);
    QVERIFY(f.show());
    ScriptedMessageBoxes boxes;
    f.action(u"Usu1"_s)->trigger();
    QCOMPARE(boxes.count(), 0);
    QVERIFY(!f.action(u"TD_Delete"_s)->isEnabled());
}

void TestNotesWindow::shownAgainAfterTheLastNoteWasDeleted()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', 'jedyna')"_s}));
    Fixture f(db);
    QVERIFY(f.show());
    ScriptedMessageBoxes boxes;
    boxes.answer(QMessageBox::Yes);
    f.action(u"TD_Delete"_s)->trigger();
    QVERIFY(f.editor()->toPlainText().isEmpty());
    QVERIFY(!f.editor()->isEnabled());
    f.window->close();
    QVERIFY(f.show());
    QVERIFY(!f.editor()->isEnabled());
    QVERIFY(!f.action(u"Wklej1"_s)->isEnabled());
    QCOMPARE(f.list()->model()->rowCount(), 0);
    QCOMPARE(boxes.count(), 1);
    f.action(u"TB_New"_s)->trigger();
    QVERIFY(f.editor()->isEnabled());
    QCOMPARE(db.scalar(u"SELECT count(*) FROM notes"_s).toInt(), 1);
}

void TestNotesWindow::toolbarFollowsTheCaret()
{
    TestDatabase db;
    QVERIFY(
        db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', "
                 "'{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red255\\green0\\blue0;}"
                 "\\f0\\fs18 zwykly \\b\\cf1\\fs28 gruby czerwony\\b0\\cf0\\fs18  koniec}')"_s}));
    Fixture f(db);
    QVERIFY(f.show());
    QTextCursor cursor = f.editor()->textCursor();
    const int inBoldRed = int(f.editor()->toPlainText().indexOf(u"czerwony"_s));
    cursor.setPosition(inBoldRed + 2);
    f.editor()->setTextCursor(cursor);
    QVERIFY(f.action(u"TB_Bold"_s)->isChecked());
    QVERIFY(!f.action(u"TB_Italic"_s)->isChecked());
    QCOMPARE(f.child<QComboBox>(u"JCCB_FontColor"_s)->currentText(), u"Red"_s);
    QCOMPARE(f.child<QComboBox>(u"CB_FontSize"_s)->currentText(), u"14"_s);

    cursor.setPosition(3);
    f.editor()->setTextCursor(cursor);
    QVERIFY(!f.action(u"TB_Bold"_s)->isChecked());
    QCOMPARE(f.child<QComboBox>(u"JCCB_FontColor"_s)->currentText(), u"Black"_s);
    QCOMPARE(f.child<QComboBox>(u"CB_FontSize"_s)->currentText(), u"9"_s);

    // A selection is formatted by the style buttons, the other styles stay.
    cursor.setPosition(0);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    f.editor()->setTextCursor(cursor);
    QVERIFY(f.action(u"TB_Cut"_s)->isEnabled());
    QVERIFY(f.action(u"Kopiuj1"_s)->isEnabled());
    f.action(u"TB_Italic"_s)->trigger();
    f.action(u"TB_Underline"_s)->trigger();
    QTextCursor probe(f.editor()->document());
    probe.setPosition(3);
    QVERIFY(probe.charFormat().fontItalic());
    QVERIFY(probe.charFormat().fontUnderline());
    QCOMPARE(f.window->notes().state(), NotesTable::State::Editing);
}

void TestNotesWindow::sizeBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("points");

    QTest::newRow("letters change nothing") << u"ab"_s << 9;
    QTest::newRow("a whole number sets the size") << u"14"_s << 14;
    QTest::newRow("zero is no size") << u"0"_s << 9;
    QTest::newRow("a number and letters") << u"1x"_s << 1;
}

void TestNotesWindow::sizeBox()
{
    QFETCH(QString, typed);
    QFETCH(int, points);
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', 'tekst notatki')"_s}));
    Fixture f(db);
    QVERIFY(f.show());
    f.editor()->selectAll();
    ScriptedMessageBoxes boxes;
    QLineEdit *edit = f.child<QComboBox>(u"CB_FontSize"_s)->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCOMPARE(boxes.count(), 0);
    QTextCursor probe(f.editor()->document());
    probe.setPosition(4);
    QCOMPARE(probe.charFormat().font().resolve(f.editor()->document()->defaultFont()).pointSize(),
             points);
    QCOMPARE(f.editor()->toPlainText(), u"tekst notatki"_s);
}

void TestNotesWindow::ownColourIsAddedAsWlasny()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', 'kolorowy')"_s}));
    Fixture f(db);
    QVERIFY(f.show());
    f.editor()->selectAll();
    auto *colours = f.child<ColorComboBox>(u"JCCB_FontColor"_s);
    const QColor own(12, 34, 56);
    f.chosenColor = own;
    colours->setCurrentIndex(colours->count() - 1);
    emit colours->activated(colours->count() - 1);
    QCOMPARE(colours->count(), 22);
    QCOMPARE(colours->itemText(20), u"Własny"_s);
    QCOMPARE(colours->currentIndex(), 20);
    QTextCursor probe(f.editor()->document());
    probe.setPosition(3);
    QCOMPARE(probe.charFormat().foreground().color(), own);

    // A named colour is picked from the list as it stands.
    emit colours->activated(9);
    probe.setPosition(3);
    QCOMPARE(probe.charFormat().foreground().color(), QColor(Qt::red));
}

void TestNotesWindow::formatsSurviveStoringAndReopening()
{
    TestDatabase db;
    {
        Fixture f(db);
        QVERIFY(f.show());
        f.action(u"TB_New"_s)->trigger();
        f.typeAtEnd(u"zwykły wyróżniony"_s);
        QTextCursor cursor = f.editor()->textCursor();
        cursor.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
        f.editor()->setTextCursor(cursor);
        for (const char *name : {"TB_Bold", "TB_Italic", "TB_Underline", "TB_StrikeOut"})
            f.action(QLatin1String(name))->trigger();
        auto *colours = f.child<ColorComboBox>(u"JCCB_FontColor"_s);
        emit colours->activated(12); // Blue
        QLineEdit *size = f.child<QComboBox>(u"CB_FontSize"_s)->lineEdit();
        size->selectAll();
        QTest::keyClicks(size, u"16"_s);
        f.window->close();
    }
    Fixture again(db);
    QVERIFY(again.show());
    const QString text = again.editor()->toPlainText();
    QCOMPARE(text, u"Notatka dodana 2024-03-03 09:05\nzwykły wyróżniony"_s);
    QTextCursor probe(again.editor()->document());
    probe.setPosition(int(text.indexOf(u"wyróżniony"_s)) + 3);
    const QTextCharFormat marked = probe.charFormat();
    QVERIFY(marked.font().bold());
    QVERIFY(marked.fontItalic());
    QVERIFY(marked.fontUnderline());
    QVERIFY(marked.fontStrikeOut());
    QCOMPARE(marked.foreground().color(), QColor(Qt::blue));
    QCOMPARE(marked.fontPointSize(), 16.0);
    probe.setPosition(int(text.indexOf(u"zwykły"_s)) + 3);
    const QTextCharFormat plain = probe.charFormat();
    QVERIFY(!plain.font().bold());
    QVERIFY(!plain.fontItalic() && !plain.fontUnderline() && !plain.fontStrikeOut());
    QCOMPARE(plain.font().resolve(again.editor()->document()->defaultFont()).pointSize(), 9);
    QCOMPARE(plain.font().family(), u"Tahoma"_s);
}

void TestNotesWindow::fontDialogFormatsTheSelection()
{
    TestDatabase db;
    QVERIFY(db.exec({u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', "
                     "'{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs24\\i pochylony}')"_s}));
    Fixture f(db);
    QVERIFY(f.show());
    f.editor()->selectAll();
    f.action(u"Format1"_s)->trigger(); // cancelled
    QCOMPARE(f.presetFont.family(), u"Tahoma"_s);
    QCOMPARE(f.presetFont.pointSize(), 12);
    QVERIFY(f.presetFont.italic());
    QCOMPARE(f.window->notes().state(), NotesTable::State::Browsing);

    QFont chosen(u"DejaVu Serif"_s, 16);
    chosen.setBold(true);
    f.chosenFont = chosen;
    f.action(u"Format1"_s)->trigger();
    QTextCursor probe(f.editor()->document());
    probe.setPosition(3);
    const QFont font = probe.charFormat().font();
    QCOMPARE(font.family(), u"DejaVu Serif"_s);
    QCOMPARE(font.pointSize(), 16);
    QVERIFY(font.bold());
    QVERIFY(!font.italic());
    QVERIFY(f.action(u"TB_Bold"_s)->isChecked());
    QCOMPARE(f.child<QComboBox>(u"CB_FontSize"_s)->currentText(), u"16"_s);
}

void TestNotesWindow::undoDoesNotCrossNotes()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    f.typeAtEnd(u"123"_s);
    QVERIFY(f.action(u"TB_Undo"_s)->isEnabled());
    f.chooseRow(1);
    QCOMPARE(f.editor()->toPlainText(), u"B"_s);
    QVERIFY(!f.action(u"TB_Undo"_s)->isEnabled());
    QVERIFY(!f.action(u"Cofnij1"_s)->isEnabled());
    f.window->TB_UndoClick();
    QCOMPARE(f.editor()->toPlainText(), u"B"_s);
    f.chooseRow(0);
    QCOMPARE(f.editor()->toPlainText(), u"C123"_s);
    f.window->TB_UndoClick();
    QCOMPARE(f.editor()->toPlainText(), u"C123"_s);
    QCOMPARE(storedText(db, 3), u"C123"_s);
}

void TestNotesWindow::damagedNotesOpenWithWhatCanBeRead_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("RTF cut short")
        << "{\\rtf1\\ansi Dobry tekst {\\b gruby"_ba << u"Dobry tekst gruby"_s;
    QTest::newRow("plain UTF-8 text") << u"Zwykła notatka"_s.toUtf8() << u"Zwykła notatka"_s;
    QTest::newRow("plain windows-1250 text") << "Zwyk\xb3\xb9"_ba << u"Zwykłą"_s;
    QTest::newRow("nothing at all") << QByteArray() << QString();
}

void TestNotesWindow::damagedNotesOpenWithWhatCanBeRead()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    TestDatabase db;
    QSqlQuery insert(db.database());
    insert.prepare(u"INSERT INTO notes VALUES (1, '2024-01-01T08:00:00', ?)"_s);
    insert.bindValue(0, stored.isNull() ? QByteArray("") : stored);
    QVERIFY(insert.exec());
    ScriptedMessageBoxes boxes;
    Fixture f(db);
    QVERIFY(f.show());
    QCOMPARE(f.editor()->toPlainText(), shown);
    QCOMPARE(boxes.count(), 0);
    // Only looking at it stores nothing.
    f.window->close();
    QCOMPARE(db.scalar(u"SELECT tresc FROM notes"_s).toByteArray(),
             stored.isNull() ? ""_ba : stored);
}

void TestNotesWindow::megabyteNoteSavesAndLoads()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    Fixture f(db);
    QVERIFY(f.show());
    QString big;
    for (int line = 0; big.size() < (1 << 20); ++line)
        big += u"Linia %1: zażółć gęślą jaźń.\n"_s.arg(line);
    big.chop(1);
    f.editor()->textCursor().insertText(big);
    f.chooseRow(1);
    QCOMPARE(f.editor()->toPlainText(), u"B"_s);
    f.chooseRow(0);
    QCOMPARE(f.editor()->toPlainText(), big + u"C"_s);
}

void TestNotesWindow::readOnlyDatabaseKeepsTheTextAndReportsOnce()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    QVERIFY(db.makeReadOnlyForEveryone());
    OrdinaryUser user;
    if (!user.canMeetReadOnlyFiles())
        QSKIP("running as root without the right to take an ordinary user's rights");
    ScriptedMessageBoxes boxes;
    {
        Fixture f(db, 20);
        QVERIFY(f.show());
        QSignalSpy posted(&f.window->notes(), &NotesTable::posted);
        f.typeAtEnd(u" nie do zapisania"_s);
        QTRY_COMPARE(boxes.errors().size(), 1);
        // Each later save point tries again and fails quietly; the note stays.
        f.chooseRow(1);
        QTest::qWait(100);
        f.window->close();
        QVERIFY(f.show());
        QCOMPARE(f.editor()->toPlainText(), u"C nie do zapisania"_s);
        QCOMPARE(f.window->notes().currentIndex(), 0);
        QCOMPARE(f.list()->currentIndex().row(), 0);
        QCOMPARE(posted.size(), 0);
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(u"readonly"_s),
                 qPrintable(boxes.errors().first()));
    }
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(storedText(db, 3), u"C"_s);
}

void TestNotesWindow::printsTheNoteAsOneNamedJob()
{
    for (const bool withNotes : {true, false}) {
        TestDatabase db;
        if (withNotes)
            QVERIFY(fillThree(db));
        Fixture f(db);
        QVERIFY(f.show());
        QTemporaryDir dir;
        f.action(u"Drukuj1"_s)->trigger(); // cancelled
        QCOMPARE(f.printedJob, u"Voltaris - Notatka"_s);
        f.printTo = dir.filePath(u"notatka.pdf"_s);
        ScriptedMessageBoxes boxes;
        f.window->TD_PrintClick();
        QFile pdf(f.printTo);
        QVERIFY2(pdf.open(QIODevice::ReadOnly), withNotes ? "a note" : "no notes");
        QVERIFY(pdf.readAll().startsWith("%PDF"));
        QCOMPARE(boxes.count(), 0);
    }
}

void TestNotesWindow::notatnikBringsTheSameWindowToTheFront()
{
    TestDatabase db;
    QVERIFY(fillThree(db));
    TF_Main::Options options;
    options.baseDirectory = db.baseDirectory();
    auto main = std::make_unique<TF_Main>(options);
    main->show();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    auto *button = main->findChild<NavigationButton *>(u"JvNPB_Notatnik"_s);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    const QList<TF_Notes *> first = main->findChildren<TF_Notes *>();
    QCOMPARE(first.size(), 1);
    TF_Notes *notes = first.first();
    QVERIFY(QTest::qWaitForWindowActive(notes));
    QCOMPARE(notes->findChild<QTextEdit *>(u"DBRE_Notatka"_s)->toPlainText(), u"C"_s);

    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(main->findChildren<TF_Notes *>(), first);
    QVERIFY(QTest::qWaitForWindowActive(notes));

    notes->close();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(main->findChildren<TF_Notes *>(), first);
    QVERIFY(notes->isVisible());

    // The window goes with the main window, storing what was typed.
    QTextEdit *editor = notes->findChild<QTextEdit *>(u"DBRE_Notatka"_s);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, u"!"_s);
    const QPointer<TF_Notes> watched(notes);
    main.reset();
    QVERIFY(watched.isNull());
    QCOMPARE(storedText(db, 3), u"C!"_s);
}

QTEST_MAIN(TestNotesWindow)
#include "tst_notes.moc"
