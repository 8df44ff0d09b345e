#pragma once

#include <QColor>
#include <QDialog>
#include <QPointer>

class PrintPreview;
class QCheckBox;
class QComboBox;
class QLabel;
class QSplitter;
class QTabBar;
class QTextEdit;
class QToolButton;
class RtfView;
class ThumbnailStrip;

// The print preview of the document shown in the main window's viewer:
// the document laid out into framed A4 pages, shown with zoom, page tabs
// and thumbnails, printed or saved as PDF.
class TF_PreviewForm : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_PreviewForm)

public:
    // Page geometry, in hundredths of a millimetre.
    static constexpr int TextMargin = 1100;
    static constexpr int FrameGap = 200;
    static constexpr int LabelLeft = 1000;
    static constexpr int LabelAboveBottom = 1000 - 50;
    static constexpr int LabelPointSize = 8;

    // The viewer holds the document to lay out; its background follows the
    // white-background choice while the window is open.
    explicit TF_PreviewForm(RtfView *viewer, QWidget *parent = nullptr);
    ~TF_PreviewForm() override;

    QColor docColor() const { return FDocColor; }
    void setDocColor(const QColor &color) { FDocColor = color; }

    // Lays the viewer's document out into pages. Raises Error when the
    // document goes away or changes while it is laid out; the document is
    // ended whatever happens.
    void BuildPreviewPages();

    ::PrintPreview *preview() const { return PrintPreview; }

    void ZoomComboBoxChange(int index);
    void ZoomComboBoxKeyPress();
    void JvSP_ZoomInClick();
    void JvSP_ZoomOutClick();
    void CB_WhiteBgkClick();
    void PrintButtonClick();
    void SavePdfButtonClick();
    void PageNavigatorChange(int index);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void PrintPreviewBeginDoc();
    void PrintPreviewEndDoc();
    void PrintPreviewNewPage();
    void PrintPreviewChange();
    void PrintPreviewZoomChange();
    void PrintPreviewBeforePrint();
    void PrintPreviewPrintProgress(int pageNumber, int percentDone);
    void PrintPreviewAfterPrint();

    // The print button's state, which the zoom controls and the
    // white-background box follow.
    void setPrintingOffered(bool offered);
    void updateControlsWhenIdle();

    QPointer<RtfView> m_viewer;
    QColor FDocColor;
    bool m_shown = false;

    QWidget *Toolbar = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *ZoomComboBox = nullptr;
    QToolButton *JvSP_ZoomIn = nullptr;
    QToolButton *JvSP_ZoomOut = nullptr;
    QCheckBox *CB_WhiteBgk = nullptr;
    QToolButton *PrintButton = nullptr;
    QToolButton *SavePdfButton = nullptr;
    QSplitter *Splitter1 = nullptr;
    ThumbnailStrip *ThumbnailPreview = nullptr;
    ::PrintPreview *PrintPreview = nullptr;
    QTabBar *PageNavigator = nullptr;
};
