#pragma once

#include "regulations/documentquery.h"
#include "regulations/documentsearch.h"
#include "regulations/documenttextcache.h"
#include "regulations/searcheverywhere.h"

#include <QColor>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QSqlDatabase>

#include <functional>
#include <memory>

class AnswerPage;
class CollapsibleSplitter;
class ExamConfigPage;
class OralExam;
class ProgressPage;
class ResultPage;
class TestRunner;
class ThematicConfigPage;
class Worker;
class NavigationButton;
class ZoomLevel;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QToolBar;
class RegulationTree;
class RtfView;
class SearchResultsView;

// The main window: owns the database connection, the library tree and the
// page set on which every part of the program shows itself.
class TF_Main : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_Main)

public:
    struct Options
    {
        // db/ and pomoc.rtf are looked for in this directory.
        QString baseDirectory = QCoreApplication::applicationDirPath();
        bool prerelease = false;
        // Where the database is opened instead of db/ in baseDirectory: the
        // user's copy of an installed program's database.
        QString databaseDirectory = {};
        // The database belongs to the installation and is only read.
        bool databaseReadOnly = false;
    };

    static constexpr QSize DesignSize{620, 446};
    static constexpr QSize DesignMinimumSize{595, 293};
    static constexpr QSize RunningMinimumSize{750, 550};
    static constexpr int HintDelayMs = 150;
    static constexpr int LeftPaneWidth = 200;

    static const QColor SectionDocumentColor;
    static const QColor DocumentColor;

    // A window of a build as it was configured (pre-release or not) that finds
    // its files beside the executable.
    explicit TF_Main(QWidget *parent = nullptr);
    explicit TF_Main(const Options &options, QWidget *parent = nullptr);
    ~TF_Main() override;

    static QString captionFor(bool prerelease);
    // The page set's pages, in their fixed order.
    static const QStringList &pageNames();

    // Shows the named page; the current page or an unknown name changes nothing.
    void showPage(const QString &pageName);
    QString currentPageName() const;

    bool treeReady() const { return FTreeReady; }
    bool closing() const { return FClosing; }
    // Stages of the two tests; they decide which page a test entry opens.
    int testStep() const;
    int thematicTestStep() const;
    void setTestStep(int step);
    void setThematicTestStep(int step);
    QColor documentColor() const { return FDocColor; }
    TestRunner *examRunner() const { return m_examRunner; }
    TestRunner *thematicRunner() const { return m_thematicRunner; }
    const DocumentSearch::State &searchState() const { return m_search.state(); }
    // The text of every document read so far, by item id, for the run of the program.
    DocumentTextCache &documentTexts() { return m_documentTexts; }
    // The zoom of the library's documents and the help, and that of the
    // questions and answers.
    ZoomLevel *documentZoom() const { return m_documentZoom; }
    ZoomLevel *testZoom() const { return m_testZoom; }
    ProgressPage *progressPage() const { return m_progressPage; }
    OralExam *oralExam() const { return m_oralExam; }

public slots:
    void JvTV_LeftTreeSelectionChange();
    void SelectRootNode(int itemId);
    void JvNPB_RegulacjeClick() { SelectRootNode(1); }
    void JvNPB_RegulaminClick() { SelectRootNode(2); }
    void JvNPB_PytaniaClick() { SelectRootNode(3); }
    void JvNPB_TestyClick() { SelectRootNode(4); }
    void JvNPB_AboutClick();
    // Opens the one notes window, creating it on first use, and brings it to the front.
    void JvNPB_NotatnikClick();
    void JvNavPanelButton1Click();
    void Label13Click();
    void Label23Click();
    void L_AboutVendrixClick();
    void JvSB_HelpClick();
    void TB_DocSaveClick();
    void TB_DocPrintClick();
    // Puts the maker's web address right after the centred maker line.
    void PlaceMakerLink();
    // Centres the contents of the two result pages.
    void LayoutResultPages();
    // "Rozpocznij test" of the exam and of the thematic test's step 2.
    void BB_TestStartOKClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    // The search panel: the next occurrence of the phrase.
    void BB_FindClick();
    void JvE_FindKeyPress();
    // Every match of the phrase in the library and the question bank, in a window of its own.
    void BB_FindAllClick();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildNavigationBar();
    QWidget *buildLeftPane();
    QWidget *buildContentArea();
    QWidget *buildAboutPage();
    QWidget *buildDocumentPage();
    QWidget *buildHelpPage();

    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormDestroy();
    void Notebook1PageChanged();
    void placeMakerLinkNow();
    void showNodeContent(int itemId, int nodeType);
    void buildTestPages();
    void rerunTreeSelection();
    void ResetSearch();
    void JT_SearchGen_Execute(Worker &task);
    void JT_SearchGen_Finish();
    // Selects the match in the viewer and scrolls it into view.
    void selectMatch(const DocumentSearch::Match &match);
    void buildZoomActions();
    // The configuration page shown offers the test left unfinished, if any.
    void refreshResumeOffer();
    // The zoom of what the current page shows, if it shows text that zooms.
    ZoomLevel *currentZoom() const;
    // Shows the document of a match found in the library, as the search does.
    void showLibraryMatch(const DocumentSearch::Match &match);
    const QList<SearchNode> &searchNodes();
    void runSearchEverywhere(const QString &phrase, bool polishLetters);
    void showEverywhereMatch(int nodeIndex, int position, int length);
    // Lights every match of the listed phrase in the shown document while the list is up.
    void lightListedMatches();
    // Runs a draw on a worker behind its progress dialog, then opens the set.
    void runDraw(std::unique_ptr<Worker> &worker, TestRunner *runner,
                 std::function<void(const QSqlDatabase &, Worker &)> draw);

    Options m_options;

    QWidget *JVP_TopPanek = nullptr;
    NavigationButton *JvNPB_Regulacje = nullptr;
    NavigationButton *JvNPB_Regulamin = nullptr;
    NavigationButton *JvNPB_Pytania = nullptr;
    NavigationButton *JvNPB_Testy = nullptr;
    NavigationButton *JvNPB_Filler = nullptr;
    NavigationButton *JvNPB_Notatnik = nullptr;
    NavigationButton *JvNPB_About = nullptr;
    NavigationButton *JvNavPanelButton1 = nullptr;

    QWidget *P_Left = nullptr;
    RegulationTree *JvTV_LeftTree = nullptr;
    QSplitter *JvxSplitter1 = nullptr;
    QWidget *P_LeftSearch = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *JvE_Find = nullptr;
    QCheckBox *CB_SearchThisDocOnly = nullptr;
    QPushButton *BB_Find = nullptr;
    QPushButton *BB_FindAll = nullptr;
    NavigationButton *JvSB_Help = nullptr;
    CollapsibleSplitter *JvNetscapeSplitter1 = nullptr;

    QWidget *Panel2 = nullptr;
    QToolBar *JvTB_Document = nullptr;
    QAction *TB_DocSave = nullptr;
    QAction *TB_DocPrint = nullptr;
    QStackedWidget *Notebook1 = nullptr;

    QWidget *JvP_AboutTworca = nullptr;
    QLabel *L_AboutTworca = nullptr;
    QLabel *L_AboutVendrix = nullptr;
    QLabel *L_DocWait = nullptr;
    RtfView *JvDBRE_Dokument = nullptr;
    RtfView *JvRE_Help = nullptr;

    ExamConfigPage *m_examConfigPage = nullptr;
    ThematicConfigPage *m_thematicStep1 = nullptr;
    ThematicConfigPage *m_thematicStep2 = nullptr;
    TestRunner *m_examRunner = nullptr;
    TestRunner *m_thematicRunner = nullptr;
    ProgressPage *m_progressPage = nullptr;
    OralExam *m_oralExam = nullptr;
    std::unique_ptr<Worker> JT_TestGen;
    std::unique_ptr<Worker> JT_Test_T_Gen;

    ZoomLevel *m_documentZoom = nullptr;
    ZoomLevel *m_testZoom = nullptr;

    DocumentQuery FSQ_Dokument;
    QColor FDocColor;

    bool FTreeReady = false;
    bool FClosing = false;
    DocumentSearch m_search;
    DocumentTextCache m_documentTexts;
    QList<SearchNode> m_searchNodes; // the tree in absolute order; it never changes
    std::unique_ptr<Worker> FSearchTask; // with its wait dialog, kept until the next search
    SearchResultsView *m_resultsView = nullptr; // made on first use
    QuestionBank m_questionBank; // read by the first search of everything
    std::unique_ptr<Worker> m_everywhereTask;
    QPointer<QWidget> FNotesWindow;
};

// Enables and shows a toolbar's actions and the toolbar, or disables and hides them.
void SetToolBarActive(QToolBar *toolBar, bool active);
