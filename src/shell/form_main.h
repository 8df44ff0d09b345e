#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QSize>

class QCheckBox;
class QLabel;
class QStackedWidget;
class QToolBar;
class QTreeWidget;

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
    };

    static constexpr QSize DesignSize{620, 446};
    static constexpr QSize DesignMinimumSize{595, 293};
    static constexpr QSize RunningMinimumSize{750, 550};
    static constexpr int HintDelayMs = 150;

    // A window of a build as it was configured (pre-release or not) that finds
    // its files beside the executable.
    explicit TF_Main(QWidget *parent = nullptr);
    explicit TF_Main(const Options &options, QWidget *parent = nullptr);
    ~TF_Main() override;

    static QString captionFor(bool prerelease);

    // Shows the named page; the current page or an unknown name changes nothing.
    void showPage(const QString &pageName);
    QString currentPageName() const;

    // Puts the maker's web address right after the centred maker line.
    void PlaceMakerLink();

    bool treeReady() const { return FTreeReady; }
    bool closing() const { return FClosing; }
    int testStep() const { return FTestStep; }
    int thematicTestStep() const { return FTestTStep; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildAboutPage();
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormDestroy();
    void Notebook1PageChanged();
    void placeMakerLinkNow();

    Options m_options;

    QTreeWidget *JvTV_LeftTree = nullptr;
    QCheckBox *CB_SearchThisDocOnly = nullptr;
    QToolBar *JvTB_Document = nullptr;
    QStackedWidget *Notebook1 = nullptr;
    QWidget *JvP_AboutTworca = nullptr;
    QLabel *L_AboutTworca = nullptr;
    QLabel *L_AboutVendrix = nullptr;

    bool FTreeReady = false;
    bool FClosing = false;
    int FTestStep = 0;
    int FTestTStep = 0;
    int FSearchNodeIndex = 0;
    bool FSearchSelecting = false;
    QPointer<QWidget> FNotesWindow;
    bool m_shownOnce = false;
};

// Enables and shows a toolbar's actions and the toolbar, or disables and hides them.
void SetToolBarActive(QToolBar *toolBar, bool active);
