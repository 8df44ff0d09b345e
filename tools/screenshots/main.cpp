// Shows the main window's pages in turn on the database beside the program
// and saves a picture of each:
//   screenshots DIR [BASE_DIR]
// BASE_DIR is where db/ and pomoc.rtf are (the program's directory by default).

#include "regulations/qmx_tree.h"
#include "shell/form_main.h"
#include "tests/testrunner.h"
#include "toolkit/messageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTreeWidget>

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

    // The exam test, passed and then failed.
    if (tree && selectFirst(tree, NodeExamTest)) {
        ok = save(window, directory, QStringLiteral("06-exam-configuration")) && ok;
        window.BB_TestStartOKClick();
        TestRunner *exam = window.examRunner();
        const auto answerAll = [&](bool right) {
            for (int k = 1; k <= exam->set().rowCount(); ++k) {
                exam->goToQuestion(k);
                const QString correct = exam->set().current()->correct;
                const QString wrong = correct == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
                exam->P_ABCClick(right || k % 3 == 0 ? correct : wrong);
            }
            exam->goToQuestion(2);
        };
        if (exam->set().rowCount() > 0) {
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

    window.resize(TF_Main::RunningMinimumSize);
    window.JvNPB_AboutClick();
    ok = save(window, directory, QStringLiteral("05-about-minimum-size")) && ok;
    if (tree && selectFirst(tree, NodeExamTest))
        ok = save(window, directory, QStringLiteral("14-exam-review-minimum-size")) && ok;

    // Learning from mistakes: a wrong answer explained, its retake, the progress page.
    window.resize(1100, 720);
    TestRunner *exam = window.examRunner();
    if (tree && selectFirst(tree, NodeExamTest) && exam->set().rowCount() > 0) {
        exam->goToQuestion(1);
        ok = save(window, directory, QStringLiteral("15-exam-review-explanation")) && ok;
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
    if (tree && selectFirst(tree, NodeProgress))
        ok = save(window, directory, QStringLiteral("16-progress")) && ok;
    return ok ? 0 : 1;
}
