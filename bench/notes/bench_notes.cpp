// The notes window on a table of 10,000 notes, each a few hundred bytes of
// RTF and one of about 1 MB, in a database file on disk: opening the window,
// moving from one note to the next, and storing a change of the 1 MB note.
//
//   bench_notes [runs]

#include "benchdatabase.h"
#include "benchutil.h"
#include "data/database.h"
#include "data/sql.h"
#include "notes/form_notes.h"
#include "toolkit/error.h"
#include "toolkit/rtf/rtfreader.h"
#include "toolkit/rtf/rtfwriter.h"
#include "toolkit/rtfview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdio>
#include <memory>

namespace {

constexpr int NoteCount = 10000;
// Where the big note stands in the list (newest first).
constexpr int BigNoteRow = NoteCount / 2;

QByteArray smallNote(int number)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontFamilies({QStringLiteral("Tahoma")});
    bold.setFontPointSize(9);
    QTextCharFormat regular = bold;
    regular.setFontWeight(QFont::Normal);
    cursor.insertText(QStringLiteral("Notatka dodana 2024-03-03 09:05\n"), bold);
    cursor.insertText(
        QStringLiteral("Notatka nr %1: pomiar rezystancji izolacji, impedancja pętli zwarcia, "
                       "ciągłość przewodów ochronnych.")
            .arg(number),
        regular);
    return RtfWriter::write(document);
}

QByteArray bigNote()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat regular;
    regular.setFontFamilies({QStringLiteral("Tahoma")});
    regular.setFontPointSize(9);
    QTextCharFormat bold = regular;
    bold.setFontWeight(QFont::Bold);
    for (int line = 0; line < 9400; ++line)
        cursor.insertText(
            QStringLiteral("Linia %1: pomiar rezystancji izolacji obwodu nr %1, wynik w normie.\n")
                .arg(line),
            line % 10 == 0 ? bold : regular);
    return RtfWriter::write(document);
}

// Returns the size of the big note's RTF.
qsizetype fillNotes(const QSqlDatabase &db)
{
    const QByteArray big = bigNote();
    Sql::Transaction transaction(db);
    QSqlQuery insert = Sql::prepare(
        db, QStringLiteral("INSERT INTO notes (note_id, row_added_dttm, tresc) VALUES (?, ?, ?)"));
    const QDateTime start(QDate(2020, 1, 1), QTime(8, 0));
    for (int id = 1; id <= NoteCount; ++id) {
        insert.bindValue(0, id);
        insert.bindValue(1, start.addSecs(qint64(id) * 3600).toString(Qt::ISODate));
        insert.bindValue(2, id == NoteCount - BigNoteRow ? big : smallNote(id));
        Sql::exec(insert);
    }
    transaction.commit();
    return big.size();
}

void chooseRow(TF_Notes &window, int row)
{
    auto *list = window.findChild<QTableView *>(QStringLiteral("DBG_NotesList"));
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect
                                                | QItemSelectionModel::Rows);
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenByDefault();
    QApplication application(argc, argv);
    const int runs = runsArgument(argc, argv);
    QTemporaryDir dir;
    try {
        qsizetype bigSize = 0;
        {
            const QSqlDatabase db = openBenchDatabase(dir);
            bigSize = fillNotes(db);
        }
        Database::open(dir.path());

        const double opening = medianMs(runs, [] {
            TF_Notes window;
            window.show();
            QCoreApplication::processEvents();
            window.close();
        });

        TF_Notes window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        auto *editor = window.findChild<QTextEdit *>(QStringLiteral("DBRE_Notatka"));
        int row = 0;
        const double next = medianMs(runs, [&] {
            chooseRow(window, ++row);
            QCoreApplication::processEvents();
        });

        chooseRow(window, BigNoteRow - 1);
        const double ontoBig = medianMs(runs, [&] {
            chooseRow(window, BigNoteRow);
            QCoreApplication::processEvents();
            chooseRow(window, BigNoteRow - 1);
        });

        chooseRow(window, BigNoteRow);
        const double saving = medianMs(runs, [&] {
            editor->moveCursor(QTextCursor::End);
            editor->textCursor().insertText(QStringLiteral("x"));
            window.close(); // a save point
            window.show();
        });
        const double rtfOnly = medianMs(runs, [&] { RtfEditing::save(*editor); });

        // The big note read into the document the editor shows, as a note was
        // loaded before, against a new document handed to the editor.
        const QByteArray big = window.notes().currentContent();
        const double newDocument = medianMs(runs, [&] { RtfEditing::load(editor, big); });
        QElapsedTimer timer;
        timer.start();
        RtfReader::read(big, editor->document());
        const double shownDocument = double(timer.nsecsElapsed()) / 1e6;

        std::printf("notes table of %d notes, one of %.2f MB RTF\n", NoteCount,
                    double(bigSize) / (1 << 20));
        std::printf("  opening the window:                   %8.1f ms  (median of %d; goal under "
                    "200 ms)\n",
                    opening, runs);
        std::printf(
            "  moving to the next note:              %8.1f ms  (median of %d; goal under 30 ms)\n",
            next, runs);
        std::printf("  saving a change of the 1 MB note:     %8.1f ms  (median of %d; goal under "
                    "100 ms)\n",
                    saving, runs);
        std::printf("    of which writing its RTF:           %8.1f ms\n", rtfOnly);
        std::printf("  moving onto the 1 MB note and off:    %8.1f ms  (median of %d)\n", ontoBig,
                    runs);
        std::printf("  loading the 1 MB note, new document:  %8.1f ms  (median of %d)\n",
                    newDocument, runs);
        std::printf("  loading it into the shown document:   %8.1f ms  (one run)\n", shownDocument);
        std::printf("  ratio shown / new document:           %8.0f\n", shownDocument / newDocument);
        if (!window.notes().currentId() || editor->toPlainText().right(1) != QLatin1String("x"))
            std::fprintf(stderr, "the big note was not the current one\n");
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
