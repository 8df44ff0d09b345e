#include "form_printpreview.h"

#include "toolkit/error.h"
#include "toolkit/filedialogs.h"
#include "toolkit/messageboxes.h"
#include "toolkit/printers.h"
#include "toolkit/printpreview.h"
#include "toolkit/rtfview.h"
#include "toolkit/thumbnailstrip.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QSplitter>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

using ZoomMode = PrintPreview::ZoomMode;

namespace {

struct ZoomItem
{
    const char16_t *text;
    ZoomMode mode;
    int percent;
};

constexpr std::array ZoomItems {
    ZoomItem {u"50 %", ZoomMode::Percent, 50},
    ZoomItem {u"100 %", ZoomMode::Percent, 100},
    ZoomItem {u"150 %", ZoomMode::Percent, 150},
    ZoomItem {u"200 %", ZoomMode::Percent, 200},
    ZoomItem {u"Szerokość strony", ZoomMode::FitWidth, 0},
    ZoomItem {u"Wysokość strony", ZoomMode::FitHeight, 0},
    ZoomItem {u"Cała strona", ZoomMode::WholePage, 0},
};

constexpr int ZoomStep = 20;
constexpr int ThumbnailWidth = 115;

QString title()
{
    return MessageBoxes::applicationTitle();
}

QToolButton *speedButton(QWidget *parent, const QString &name, const QString &icon,
                         const QString &text)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(QStringLiteral(":/printing/") + icon + QStringLiteral(".svg")));
    button->setAutoRaise(true);
    if (text.isEmpty()) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    return button;
}

} // namespace

TF_PreviewForm::TF_PreviewForm(RtfView *viewer, QWidget *parent) : QDialog(parent), m_viewer(viewer)
{
    setObjectName(QStringLiteral("TF_PreviewForm"));
    setWindowTitle(title());
    setFont(QFont(QStringLiteral("Arial"), 8));
    setSizeGripEnabled(true);
    resize(627, 380);

    Toolbar = new QWidget(this);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setFixedHeight(29);
    auto *bar = new QHBoxLayout(Toolbar);
    bar->setContentsMargins(4, 0, 4, 0);
    bar->setSpacing(4);
    Label1 = new QLabel(QStringLiteral("Zoom:"), Toolbar);
    Label1->setObjectName(QStringLiteral("Label1"));
    ZoomComboBox = new QComboBox(Toolbar);
    ZoomComboBox->setObjectName(QStringLiteral("ZoomComboBox"));
    ZoomComboBox->setEditable(true);
    ZoomComboBox->setInsertPolicy(QComboBox::NoInsert);
    ZoomComboBox->setMinimumContentsLength(14);
    // Completing "5" to "50 %" would turn a typed 5 into 50.
    ZoomComboBox->setCompleter(nullptr);
    for (const ZoomItem &item : ZoomItems)
        ZoomComboBox->addItem(QString::fromUtf16(item.text));
    ZoomComboBox->lineEdit()->installEventFilter(this);
    JvSP_ZoomIn
        = speedButton(Toolbar, QStringLiteral("JvSP_ZoomIn"), QStringLiteral("zoom-in"), {});
    JvSP_ZoomIn->setToolTip(QStringLiteral("Powiększ"));
    JvSP_ZoomOut
        = speedButton(Toolbar, QStringLiteral("JvSP_ZoomOut"), QStringLiteral("zoom-out"), {});
    JvSP_ZoomOut->setToolTip(QStringLiteral("Pomniejsz"));
    CB_WhiteBgk = new QCheckBox(QStringLiteral("Użyj białego tła"), Toolbar);
    CB_WhiteBgk->setObjectName(QStringLiteral("CB_WhiteBgk"));
    PrintButton = speedButton(Toolbar, QStringLiteral("PrintButton"), QStringLiteral("print"),
                              QStringLiteral("  Drukuj"));
    SavePdfButton = speedButton(Toolbar, QStringLiteral("SavePdfButton"), QStringLiteral("pdf"),
                                QStringLiteral("Zapisz PDF"));
    SavePdfButton->setToolTip(QStringLiteral("Zapisuje strony podglądu do pliku PDF"));
    bar->addWidget(Label1);
    bar->addWidget(ZoomComboBox);
    bar->addWidget(JvSP_ZoomIn);
    bar->addWidget(JvSP_ZoomOut);
    bar->addSpacing(8);
    bar->addWidget(CB_WhiteBgk);
    bar->addSpacing(8);
    bar->addWidget(PrintButton);
    bar->addWidget(SavePdfButton);
    bar->addStretch();

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    ThumbnailPreview = new ThumbnailStrip(Splitter1);
    ThumbnailPreview->setObjectName(QStringLiteral("ThumbnailPreview"));
    ThumbnailPreview->setPageShadowWidth(1);
    ThumbnailPreview->setMinimumWidth(60);
    PrintPreview = new ::PrintPreview(Splitter1);
    PrintPreview->setObjectName(QStringLiteral("PrintPreview"));
    PrintPreview->setPaperBorderColor(QColor(0, 0, 128));
    PrintPreview->setPageShadowWidth(4);
    PrintPreview->setScrollMargin(10);
    ThumbnailPreview->setPreview(PrintPreview);
    Splitter1->addWidget(ThumbnailPreview);
    Splitter1->addWidget(PrintPreview);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({ThumbnailWidth, width() - ThumbnailWidth});

    PageNavigator = new QTabBar(this);
    PageNavigator->setObjectName(QStringLiteral("PageNavigator"));
    PageNavigator->setFixedHeight(30);
    PageNavigator->setShape(QTabBar::RoundedSouth);
    PageNavigator->setUsesScrollButtons(true);
    PageNavigator->setExpanding(false);
    PageNavigator->setDrawBase(false);
    QFont tabFont(QStringLiteral("Arial"));
    tabFont.setPixelSize(17);
    tabFont.setBold(true);
    PageNavigator->setFont(tabFont);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Toolbar);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(PageNavigator);

    connect(ZoomComboBox, &QComboBox::activated, this, &TF_PreviewForm::ZoomComboBoxChange);
    connect(JvSP_ZoomIn, &QToolButton::clicked, this, &TF_PreviewForm::JvSP_ZoomInClick);
    connect(JvSP_ZoomOut, &QToolButton::clicked, this, &TF_PreviewForm::JvSP_ZoomOutClick);
    connect(CB_WhiteBgk, &QCheckBox::clicked, this, &TF_PreviewForm::CB_WhiteBgkClick);
    connect(PrintButton, &QToolButton::clicked, this, &TF_PreviewForm::PrintButtonClick);
    connect(SavePdfButton, &QToolButton::clicked, this, &TF_PreviewForm::SavePdfButtonClick);
    connect(PageNavigator, &QTabBar::currentChanged, this, &TF_PreviewForm::PageNavigatorChange);
    connect(PrintPreview, &::PrintPreview::beginDocument, this,
            &TF_PreviewForm::PrintPreviewBeginDoc);
    connect(PrintPreview, &::PrintPreview::endDocument, this, &TF_PreviewForm::PrintPreviewEndDoc);
    connect(PrintPreview, &::PrintPreview::newPageStarted, this,
            &TF_PreviewForm::PrintPreviewNewPage);
    connect(PrintPreview, &::PrintPreview::changed, this, &TF_PreviewForm::PrintPreviewChange);
    connect(PrintPreview, &::PrintPreview::zoomChanged, this,
            &TF_PreviewForm::PrintPreviewZoomChange);
    connect(PrintPreview, &::PrintPreview::beforePrint, this,
            &TF_PreviewForm::PrintPreviewBeforePrint);
    connect(PrintPreview, &::PrintPreview::printProgress, this,
            &TF_PreviewForm::PrintPreviewPrintProgress);
    connect(PrintPreview, &::PrintPreview::afterPrint, this,
            &TF_PreviewForm::PrintPreviewAfterPrint);

    FormCreate();
    updateControlsWhenIdle();
}

TF_PreviewForm::~TF_PreviewForm() = default;

void TF_PreviewForm::FormCreate()
{
    PrintPreview->setZoomMode(ZoomMode::WholePage);
    PrintPreviewZoomChange();
}

void TF_PreviewForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TF_PreviewForm::FormShow()
{
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    PrintPreview->setPrintJobTitle(owner ? owner->windowTitle() : title());
}

void TF_PreviewForm::done(int result)
{
    // Pages being built are drawn from this window's state: it stays until
    // they are done.
    if (PrintPreview->state() != PreviewDocument::State::Idle)
        return;
    FormClose();
    QDialog::done(result);
}

void TF_PreviewForm::FormClose()
{
    if (m_viewer)
        m_viewer->setBackgroundColor(FDocColor);
}

void TF_PreviewForm::BuildPreviewPages()
{
    if (PrintPreview->state() != PreviewDocument::State::Idle)
        return;
    const QSizeF paper = PrintPreview->paperSize();
    const QRectF textBlock(QPointF(TextMargin, TextMargin),
                           QPointF(paper.width() - TextMargin, paper.height() - TextMargin));
    const QRectF frame = textBlock.adjusted(-FrameGap, -FrameGap, FrameGap, FrameGap);
    QPointer<QTextDocument> document = m_viewer ? m_viewer->document() : nullptr;
    const int revision = document ? document->revision() : 0;
    // Events run between the pages: the user may show another document in
    // the main window meanwhile, and these pages would mix the two.
    const auto checkDocument = [&] {
        if (!document || !m_viewer || m_viewer->document() != document
            || document->revision() != revision)
            throw Error(
                tr("Dokument zmienił się w trakcie przygotowania wydruku; wydrukuj go ponownie"));
    };

    const bool hasDocument = document;
    PrintPreview->beginDoc();
    const auto end = qScopeGuard([this] { PrintPreview->endDoc(); });
    if (!hasDocument)
        return;
    int offset = 0;
    int secondOffset = 0;
    while (offset != -1) {
        checkDocument();
        // Under a fill the first layout would only be covered: it is measured,
        // not recorded, so that a page holds its text once (a PDF would
        // otherwise carry every word twice).
        const bool white = CB_WhiteBgk->isChecked();
        const int laid = white ? PrintPreview->paintRichText(textBlock, document, 1, offset)
                               : PrintPreview->measureRichText(textBlock, document, offset);
        if (laid == 0)
            break;
        QCoreApplication::processEvents();
        checkDocument();
        QPainter *canvas = PrintPreview->canvas();
        if (white) {
            canvas->setBrush(Qt::NoBrush);
            canvas->drawRect(frame);
        } else {
            canvas->setBrush(QBrush(FDocColor, Qt::SolidPattern));
            canvas->drawRect(frame);
            PrintPreview->paintRichText(textBlock, document, 1, secondOffset);
            canvas->setBrush(Qt::NoBrush);
            canvas->drawRect(frame);
        }
        if (offset != -1)
            PrintPreview->newPage();
    }
}

void TF_PreviewForm::PrintPreviewNewPage()
{
    QPainter *canvas = PrintPreview->canvas();
    canvas->setPen(QPen(Qt::black, 0));
    canvas->setBrush(Qt::NoBrush);
    canvas->setFont(PreviewDocument::pageFont(QFont(QStringLiteral("Arial"), LabelPointSize)));
    const QSizeF paper = PrintPreview->paperSize();
    const QRectF label(LabelLeft, paper.height() - LabelAboveBottom, paper.width(), paper.height());
    canvas->drawText(label, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     QStringLiteral("Strona %1").arg(PrintPreview->pageCount() + 1));
}

void TF_PreviewForm::setPrintingOffered(bool offered)
{
    PrintButton->setEnabled(offered);
    for (QWidget *follower :
         std::initializer_list<QWidget *> {ZoomComboBox, JvSP_ZoomIn, JvSP_ZoomOut, CB_WhiteBgk})
        follower->setEnabled(PrintButton->isEnabled());
}

void TF_PreviewForm::updateControlsWhenIdle()
{
    setPrintingOffered(PrintPreview->printerInstalled() && PrintPreview->pageCount() > 0);
    SavePdfButton->setEnabled(PrintPreview->state() == PreviewDocument::State::Idle
                              && PrintPreview->pageCount() > 0);
}

void TF_PreviewForm::PrintPreviewBeginDoc()
{
    setWindowTitle(title() + QStringLiteral(" - Przygotowanie dokumentu..."));
    setPrintingOffered(false);
    SavePdfButton->setEnabled(false);
}

void TF_PreviewForm::PrintPreviewEndDoc()
{
    setWindowTitle(title());
    updateControlsWhenIdle();
}

void TF_PreviewForm::PrintPreviewChange()
{
    const int pages = PrintPreview->pageCount();
    while (PageNavigator->count() < pages)
        PageNavigator->addTab(QString::number(PageNavigator->count() + 1));
    while (PageNavigator->count() > pages)
        PageNavigator->removeTab(PageNavigator->count() - 1);
    PageNavigator->setCurrentIndex(PrintPreview->currentPage() - 1);
    if (PrintPreview->state() != PreviewDocument::State::Idle) {
        QCoreApplication::processEvents();
        return;
    }
    updateControlsWhenIdle();
}

void TF_PreviewForm::PrintPreviewZoomChange()
{
    int selected = -1;
    for (int i = 0; i < int(ZoomItems.size()); ++i) {
        const ZoomItem &item = ZoomItems.at(i);
        if (item.mode == PrintPreview->zoomMode()
            && (item.mode != ZoomMode::Percent || item.percent == PrintPreview->zoom()))
            selected = i;
    }
    ZoomComboBox->setCurrentIndex(selected);
    if (selected < 0)
        ZoomComboBox->clearEditText();
}

void TF_PreviewForm::ZoomComboBoxChange(int index)
{
    if (index < 0 || index >= int(ZoomItems.size()))
        return;
    const ZoomItem &item = ZoomItems.at(index);
    if (item.mode == ZoomMode::Percent)
        PrintPreview->setZoom(item.percent);
    else
        PrintPreview->setZoomMode(item.mode);
}

bool TF_PreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ZoomComboBox->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Text that names an item is that item, chosen by the box itself.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter)
            && ZoomComboBox->findText(ZoomComboBox->currentText()) < 0) {
            ZoomComboBoxKeyPress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_PreviewForm::ZoomComboBoxKeyPress()
{
    QString text = ZoomComboBox->currentText();
    text.remove(QLatin1Char('%'));
    bool ok = false;
    const int percent = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        MessageBoxes::show({this, QMessageBox::Critical, QStringLiteral("Błąd"), QString(),
                            QMessageBox::Ok, QMessageBox::Ok});
        return;
    }
    PrintPreview->setZoom(percent);
    ZoomComboBox->setEditText(QString::number(PrintPreview->zoom()) + QStringLiteral(" %"));
}

void TF_PreviewForm::JvSP_ZoomInClick()
{
    PrintPreview->setZoom(PrintPreview->zoom() + ZoomStep);
    ZoomComboBox->setEditText(QString::number(PrintPreview->zoom()) + QStringLiteral(" %"));
}

void TF_PreviewForm::JvSP_ZoomOutClick()
{
    PrintPreview->setZoom(PrintPreview->zoom() - ZoomStep);
    ZoomComboBox->setEditText(QString::number(PrintPreview->zoom()) + QStringLiteral(" %"));
}

void TF_PreviewForm::CB_WhiteBgkClick()
{
    if (m_viewer)
        m_viewer->setBackgroundColor(CB_WhiteBgk->isChecked() ? QColor(Qt::white) : FDocColor);
    runGuarded(this, [this] { BuildPreviewPages(); });
}

void TF_PreviewForm::PageNavigatorChange(int index)
{
    if (index >= 0)
        PrintPreview->setCurrentPage(index + 1);
}

void TF_PreviewForm::PrintButtonClick()
{
    const int pages = PrintPreview->pageCount();
    QPrinter printer(QPrinter::HighResolution);
    printer.setCollateCopies(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFromTo(1, pages);
    if (!Printers::execPrintDialog(printer, {this, 1, pages}))
        return;
    int from = printer.fromPage();
    int to = printer.toPage();
    if (printer.printRange() == QPrinter::AllPages || (from == 0 && to == 0)) {
        from = 1;
        to = pages;
    }
    // Each copy is a job of its own, so that copies come out whole even on a
    // printer that would otherwise repeat every page.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    for (int copy = 0; copy < copies; ++copy)
        PrintPreview->print(printer, from, to);
}

void TF_PreviewForm::SavePdfButtonClick()
{
    QString chosen = FileDialogs::getSaveFileName(
        {this, tr("Zapisz PDF"), QString(), tr("Dokument PDF (*.pdf)"), QStringLiteral("pdf")});
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".pdf");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (PrintPreview->printJobTitle().isEmpty())
        PrintPreview->setPrintJobTitle(title());
    QString error;
    const bool saved = PrintPreview->pages()->savePdf(chosen, &error);
    QApplication::restoreOverrideCursor();
    if (!saved)
        MessageBoxes::error(this, error);
}

void TF_PreviewForm::PrintPreviewBeforePrint()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setWindowTitle(title() + QStringLiteral(" - Preparing to print..."));
    PrintButton->setEnabled(false);
}

void TF_PreviewForm::PrintPreviewPrintProgress(int pageNumber, int percentDone)
{
    setWindowTitle(QString::asprintf("%s - Printing page %d of %d (%%%d done)...",
                                     qUtf8Printable(title()), pageNumber, PrintPreview->pageCount(),
                                     percentDone));
    repaint();
}

void TF_PreviewForm::PrintPreviewAfterPrint()
{
    setWindowTitle(title());
    QApplication::restoreOverrideCursor();
    PrintButton->setEnabled(PrintPreview->printerInstalled() && PrintPreview->pageCount() > 0);
}
