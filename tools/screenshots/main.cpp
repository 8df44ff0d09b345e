// Shows the main window's pages in turn on the database beside the program
// and saves a picture of each, and of the print preview with its pages as PDF:
//   screenshots DIR [BASE_DIR]
// BASE_DIR is where db/ and pomoc.rtf are (the program's directory by default).

#include "data/database.h"
#include "notes/form_notes.h"
#include "printing/form_printpreview.h"
#include "regulations/qmx_tree.h"
#include "shell/form_main.h"
#include "shell/searchresultsview.h"
#include "tests/oraldrillpage.h"
#include "tests/oralexam.h"
#include "tests/testrunner.h"
#include "toolkit/messageboxes.h"
#include "toolkit/printpreview.h"
#include "toolkit/rtfview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace {

bool save(QWidget &window, const QString &directory, const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Selects the first node of the type, as a click on it would.
bool selectFirst(QTreeWidget *tree, int nodeType)
{
    for (int index = 0;; ++index) {
        TreeNodeItem *node = TreeIndex::nodeAt(tree, index);
        if (!node)
            return false;
        if (node->node().NodeType == nodeType) {
            tree->setCurrentItem(node);
            return true;
        }
    }
}

// Types a run of text in the format given.
void write(QTextEdit *editor, const QString &text, const QTextCharFormat &format)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(text, format);
    editor->setTextCursor(cursor);
}

QTextCharFormat format(bool bold, const QColor &colour, int points = 9, bool italic = false,
                       bool underline = false, bool strikeOut = false)
{
    QTextCharFormat result;
    result.setFontFamilies({QStringLiteral("Tahoma")});
    result.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    result.setForeground(colour);
    result.setFontPointSize(points);
    result.setFontItalic(italic);
    result.setFontUnderline(underline);
    result.setFontStrikeOut(strikeOut);
    return result;
}

// The notes window with two formatted notes, made on a copy of the database
// so that the notes of the database beside the program stay as they are.
bool saveNotes(const QString &directory, const QString &baseDirectory)
{
    QTemporaryDir copy;
    const QString source = QDir(baseDirectory).filePath(QStringLiteral("db/") + QLatin1String(Database::FileName));
    if (!copy.isValid() || !QDir(copy.path()).mkdir(QStringLiteral("db"))
        || !QFile::copy(source, copy.filePath(QStringLiteral("db/") + QLatin1String(Database::FileName)))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return false;
    }
    Database::open(copy.filePath(QStringLiteral("db")));
    QSqlQuery(Database::connection()).exec(QStringLiteral("DELETE FROM notes"));
    bool ok = false;
    {
        QDateTime moment(QDate(2024, 3, 3), QTime(9, 5));
        TF_Notes::Options options;
        options.clock = [&moment] { return moment; };
        TF_Notes notes(options);
        notes.show();
        if (QTest::qWaitForWindowExposed(&notes)) {
            auto *editor = notes.findChild<QTextEdit *>(QStringLiteral("DBRE_Notatka"));
            notes.TB_NewClick();
            write(editor, QStringLiteral("Ochrona przeciwporażeniowa\n"), format(true, Qt::red, 12));
            write(editor, QStringLiteral("Samoczynne wyłączenie zasilania w sieci TN: do 0,4 s w obwodach do 32 A.\n"),
                  format(false, Qt::black));
            write(editor, QStringLiteral("Do powtórki: "), format(false, Qt::black, 9, true));
            write(editor, QStringLiteral("art. 54 Prawa energetycznego"), format(false, QColor(0, 0, 128), 9, false, true));

            moment = QDateTime(QDate(2024, 3, 4), QTime(18, 30));
            notes.TB_NewClick();
            write(editor, QStringLiteral("Egzamin kwalifikacyjny E, grupa 1\n"), format(true, QColor(0, 0, 128), 14));
            write(editor, QStringLiteral("Pomiary: "), format(true, Qt::black));
            write(editor, QStringLiteral("rezystancja izolacji, impedancja pętli zwarcia, ciągłość przewodów ochronnych.\n"),
                  format(false, Qt::black));
            write(editor, QStringLiteral("Termin: "), format(true, Qt::black));
            write(editor, QStringLiteral("12 kwietnia, godz. 10:00, "), format(false, QColor(0, 128, 0)));
            write(editor, QStringLiteral("sala 104"), format(false, Qt::gray, 9, false, false, true));
            write(editor, QStringLiteral(" sala 210"), format(true, QColor(0, 128, 0)));
            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(editor->document()->findBlockByNumber(1).position() + 5);
            editor->setTextCursor(cursor);
            ok = save(notes, directory, QStringLiteral("15-notes"));
        }
        notes.close();
    }
    Database::close();
    return ok;
}

// A match of the search in all documents, then the wait dialog as it stands
// while the box for a phrase that is nowhere is up.
bool saveSearch(TF_Main &window, const QString &directory)
{
    auto *phrase = window.findChild<QLineEdit *>(QStringLiteral("JvE_Find"));
    auto *find = window.findChild<QPushButton *>(QStringLiteral("BB_Find"));
    auto *thisDocumentOnly = window.findChild<QCheckBox *>(QStringLiteral("CB_SearchThisDocOnly"));
    if (!phrase || !find || !thisDocumentOnly)
        return false;
    thisDocumentOnly->setChecked(false);
    phrase->setText(QStringLiteral("napięcie"));
    find->click();
    find->click();
    bool ok = save(window, directory, QStringLiteral("16-search-match"));

    QWidget *dialog = nullptr;
    const MessageBoxes::Presenter previous
        = MessageBoxes::setPresenter([&](const MessageBoxes::Request &request) {
              if (!dialog && request.parent && request.parent->isWindow()) {
                  dialog = request.parent;
                  ok = save(*dialog, directory, QStringLiteral("17-search-wait")) && ok;
              }
              return QMessageBox::Ok;
          });
    phrase->setText(QStringLiteral("fraza, której nie ma"));
    find->click();
    MessageBoxes::setPresenter(previous);
    return ok && dialog;
}

// Every match of a phrase typed without Polish letters, with a question
// chosen; then the main window on a chosen match, every match of it lit.
bool saveSearchResults(TF_Main &window, const QString &directory)
{
    auto *phrase = window.findChild<QLineEdit *>(QStringLiteral("JvE_Find"));
    auto *findAll = window.findChild<QPushButton *>(QStringLiteral("BB_FindAll"));
    if (!phrase || !findAll)
        return false;
    phrase->setText(QStringLiteral("napiecie"));
    findAll->click();
    auto *view = window.findChild<SearchResultsView *>();
    auto *list = view ? view->findChild<QTreeWidget *>(QStringLiteral("TV_SearchResults")) : nullptr;
    if (!list || list->topLevelItemCount() == 0)
        return false;
    view->resize(720, 640);
    if (!QTest::qWaitForWindowExposed(view))
        return false;
    QTreeWidgetItem *questions = list->topLevelItem(list->topLevelItemCount() - 1);
    if (questions->childCount() > 0) {
        list->setCurrentItem(questions->child(0));
        emit list->itemClicked(questions->child(0), 0);
        list->scrollToTop();
    }
    bool ok = save(*view, directory, QStringLiteral("22-search-results"));
    // The second match of the first document with several.
    for (int i = 0; i + 1 < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *group = list->topLevelItem(i);
        if (group->childCount() > 1) {
            list->setCurrentItem(group->child(1));
            emit list->itemClicked(group->child(1), 0);
            break;
        }
    }
    ok = save(window, directory, QStringLiteral("23-search-results-document")) && ok;
    view->close();
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: screenshots DIR [BASE_DIR]\n");
        return 2;
    }
    const QString directory = arguments.at(1);
    QDir().mkpath(directory);
    // Whatever box a page raises is written out, not waited for.
    MessageBoxes::setPresenter([](const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return request.defaultButton;
    });

    TF_Main::Options options;
    if (arguments.size() > 2)
        options.baseDirectory = arguments.at(2);
    const bool notesSaved = saveNotes(directory, options.baseDirectory);
    TF_Main window(options);
    window.resize(1100, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.setMinimumSize(TF_Main::RunningMinimumSize);

    auto *tree = window.findChild<QTreeWidget *>(QStringLiteral("JvTV_LeftTree"));
    bool ok = save(window, directory, QStringLiteral("01-about"));
    if (tree && selectFirst(tree, NodeDocument))
        ok = save(window, directory, QStringLiteral("02-document")) && ok;
    window.SelectRootNode(3);
    if (tree && tree->currentItem() && tree->currentItem()->childCount() > 0) {
        tree->setCurrentItem(tree->currentItem()->child(0));
        if (tree->currentItem()->childCount() > 0)
            tree->setCurrentItem(tree->currentItem()->child(0));
        ok = save(window, directory, QStringLiteral("03-technical-document")) && ok;
    }
    window.JvSB_HelpClick();
    ok = save(window, directory, QStringLiteral("04-help")) && ok;
    ok = saveSearch(window, directory) && ok;
    ok = saveSearchResults(window, directory) && ok;

    // The exam test, passed and then failed.
    if (tree && selectFirst(tree, NodeExamTest)) {
        ok = save(window, directory, QStringLiteral("06-exam-configuration")) && ok;
        window.BB_TestStartOKClick();
        TestRunner *exam = window.examRunner();
        const auto answerAll = [&](bool right) {
            for (int k = 1; k <= exam->set().rowCount(); ++k) {
                exam->goToQuestion(k);
                const QString correct = exam->set().current()->correct;
                const QString wrong
                    = correct == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
                exam->P_ABCClick(right || k % 3 == 0 ? correct : wrong);
            }
            exam->goToQuestion(2);
        };
        if (exam->set().rowCount() > 0) {
            // A test under way: some questions answered, the current one chosen.
            for (int k = 1; k <= std::min(6, exam->set().rowCount()); ++k) {
                exam->goToQuestion(k);
                if (k != 4)
                    exam->P_ABCClick(QStringLiteral("B"));
            }
            ok = save(window, directory, QStringLiteral("07a-exam-answering-map")) && ok;
            const QSize size = window.size();
            window.setMinimumSize(QSize(0, 0));
            window.resize(1024, 600);
            ok = save(window, directory, QStringLiteral("07b-exam-answering-1024x600")) && ok;
            window.resize(size);
            window.setMinimumSize(TF_Main::RunningMinimumSize);
            answerAll(true);
            ok = save(window, directory, QStringLiteral("07-exam-answering")) && ok;
            exam->JvSB_TestFinishClick();
            ok = save(window, directory, QStringLiteral("08-exam-result-passed")) && ok;
            exam->BB_Test_2_LookClick();
            ok = save(window, directory, QStringLiteral("09-exam-review-right")) && ok;
            exam->JvSB_TestSummaryClick();
            exam->BB_Test_2_AgainClick();
            answerAll(false);
            exam->JvSB_TestFinishClick();
            ok = save(window, directory, QStringLiteral("10-exam-result-failed")) && ok;
            exam->BB_Test_2_LookClick();
            ok = save(window, directory, QStringLiteral("11-exam-review-wrong")) && ok;
        }
    }
    if (tree && selectFirst(tree, NodeThematicTest)) {
        ok = save(window, directory, QStringLiteral("12-thematic-step-1")) && ok;
        window.BitBtn1Click();
        ok = save(window, directory, QStringLiteral("13-thematic-step-2")) && ok;
    }
    // The print preview of the first document, on its second page where it has one.
    if (tree && selectFirst(tree, NodeDocument)) {
        TF_PreviewForm preview(window.findChild<RtfView *>(QStringLiteral("JvDBRE_Dokument")),
                               &window);
        preview.setDocColor(window.documentColor());
        if (runGuarded(&window, [&] { preview.BuildPreviewPages(); })) {
            preview.resize(900, 640);
            preview.show();
            if (QTest::qWaitForWindowExposed(&preview)) {
                preview.preview()->setCurrentPage(2);
                ok = save(preview, directory, QStringLiteral("18-print-preview")) && ok;
                // What would be printed, to compare with the picture.
                const QString pdf
                    = QDir(directory).filePath(QStringLiteral("18-print-preview.pdf"));
                QString error;
                if (preview.preview()->pages()->savePdf(pdf, &error)) {
                    std::printf("%s\n", qPrintable(pdf));
                } else {
                    std::fprintf(stderr, "%s\n", qPrintable(error));
                    ok = false;
                }
            }
            preview.close();
        }
    }

    window.resize(TF_Main::RunningMinimumSize);
    window.JvNPB_AboutClick();
    ok = save(window, directory, QStringLiteral("05-about-minimum-size")) && ok;
    if (tree && selectFirst(tree, NodeExamTest))
        ok = save(window, directory, QStringLiteral("14-exam-review-minimum-size")) && ok;

    // Learning from mistakes: a wrong answer explained, its retake, the progress page.
    window.resize(1100, 720);
    TestRunner *exam = window.examRunner();
    if (tree)
        selectFirst(tree, NodeDocument);
    if (tree && selectFirst(tree, NodeExamTest) && exam->set().rowCount() > 0) {
        exam->goToQuestion(1);
        ok = save(window, directory, QStringLiteral("20-exam-review-explanation")) && ok;
        exam->JvSB_TestSummaryClick();
        if (auto *retake
            = window.findChild<QAbstractButton *>(QStringLiteral("BB_Test_2_Retake"))) {
            retake->click();
            TestRunner *thematic = window.thematicRunner();
            for (int k = 1; k <= thematic->set().rowCount(); ++k) {
                thematic->goToQuestion(k);
                const QString correct = thematic->set().current()->correct;
                thematic->P_ABCClick(k % 4 == 0
                                         ? (correct == QLatin1String("A") ? QStringLiteral("B")
                                                                          : QStringLiteral("A"))
                                         : correct);
            }
            thematic->JvSB_TestFinishClick();
        }
    }
    // The oral drill: its configuration, a question before and after its answer, the end.
    if (tree && selectFirst(tree, NodeOralExam)) {
        ok = save(window, directory, QStringLiteral("24-oral-configuration")) && ok;
        OralExam *oral = window.oralExam();
        oral->start();
        if (window.currentPageName() == oral->drillPage()->objectName()) {
            ok = save(window, directory, QStringLiteral("25-oral-question")) && ok;
            oral->drillPage()->reveal();
            ok = save(window, directory, QStringLiteral("26-oral-answer")) && ok;
            auto *known = oral->drillPage()->findChild<QAbstractButton *>(QStringLiteral("BB_OralKnown"));
            auto *notKnown
                = oral->drillPage()->findChild<QAbstractButton *>(QStringLiteral("BB_OralNotKnown"));
            for (int k = 0; known && notKnown && !oral->session().finished(); ++k) {
                oral->drillPage()->reveal();
                (k % 3 == 1 ? notKnown : known)->click();
            }
            ok = save(window, directory, QStringLiteral("27-oral-end")) && ok;
        }
    }
    if (tree && selectFirst(tree, NodeProgress))
        ok = save(window, directory, QStringLiteral("21-progress")) && ok;

    // A test left unfinished, as the next start finds it.
    if (tree && selectFirst(tree, NodeExamTest)) {
        window.setTestStep(0);
        window.BB_TestStartOKClick();
        for (int k = 1; k <= std::min(3, exam->set().rowCount()); ++k) {
            exam->goToQuestion(k);
            exam->P_ABCClick(QStringLiteral("A"));
        }
        window.setTestStep(0);
        selectFirst(tree, NodeDocument);
        if (selectFirst(tree, NodeExamTest))
            ok = save(window, directory, QStringLiteral("19-exam-resume-offer")) && ok;
    }
    return ok && notesSaved ? 0 : 1;
}
