#include "form_notes.h"

#include "data/database.h"
#include "toolkit/colorcombobox.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"
#include "toolkit/rtfview.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QTableView>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QColor DefaultTextColor(Qt::black);

QFont tahoma(int points)
{
    QFont font(QStringLiteral("Tahoma"));
    // Where Tahoma is missing, a face of similar width rather than the wide default.
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSize(points);
    return font;
}

// Keeps a button's hint out of a tooltip: the hint belongs to the status line.
class NoToolTip : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

bool systemPrintDialog(QPrinter *printer, QWidget *parent)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> systemFontDialog(const QFont &initial, QWidget *parent)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

QAction *newAction(QObject *parent, const char *name, const QString &text)
{
    auto *action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    return action;
}

// The largest size a character may take; larger numbers are typing slips.
constexpr int MaxPointSize = 1638;

} // namespace

TF_Notes::TF_Notes(QWidget *owner) : TF_Notes(Options(), owner) { }

TF_Notes::TF_Notes(const Options &options, QWidget *owner)
    : QMainWindow(owner, Qt::Tool), m_options(options)
{
    if (!m_options.clock)
        m_options.clock = &QDateTime::currentDateTime;
    if (!m_options.printDialog)
        m_options.printDialog = &systemPrintDialog;
    if (!m_options.fontDialog)
        m_options.fontDialog = &systemFontDialog;
    setObjectName(QStringLiteral("TF_Notes"));
    setWindowTitle(QStringLiteral("Notatnik"));
    // The small face of the other windows keeps the toolbars in one row.
    setFont(tahoma(8));
    buildWindow();
    buildMenus();
    buildToolBars();
    JCCB_FontColor->setColorDialog(m_options.colorDialog);

    m_autosaveTimer = new QTimer(this);
    m_autosaveTimer->setSingleShot(true);
    m_autosaveTimer->setInterval(m_options.autosaveDelayMs);
    connect(m_autosaveTimer, &QTimer::timeout, this, &TF_Notes::autosave);

    connect(&FST_Notes, &NotesTable::currentChanged, this, [this](int index) {
        loadCurrentNote();
        selectListRow(index);
    });

    resize(DesignSize);
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

TF_Notes::~TF_Notes()
{
    m_autosaveTimer->stop();
    // The window is going with the program: no window of ours is left to own a box.
    if (FST_Notes.isOpen() && Database::isOpen()) {
        if (!saveCurrentNote(nullptr))
            qWarning("notes: a change of the current note could not be stored");
    }
}

QString TF_Notes::printJobName()
{
    return MessageBoxes::applicationTitle() + QStringLiteral(" - Notatka");
}

void TF_Notes::buildWindow()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);

    DBG_NotesList = new QTableView(splitter);
    DBG_NotesList->setObjectName(QStringLiteral("DBG_NotesList"));
    DBG_NotesList->setModel(&FST_Notes);
    DBG_NotesList->setToolTip(QStringLiteral("Wybierz notatkę"));
    DBG_NotesList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBG_NotesList->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBG_NotesList->setSelectionMode(QAbstractItemView::SingleSelection);
    DBG_NotesList->setWordWrap(false);
    DBG_NotesList->verticalHeader()->hide();
    DBG_NotesList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBG_NotesList->verticalHeader()->setDefaultSectionSize(DBG_NotesList->fontMetrics().height()
                                                           + 4);
    DBG_NotesList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBG_NotesList->horizontalHeader()->setHighlightSections(false);
    DBG_NotesList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DBG_NotesList->setColumnWidth(NotesTable::AddedColumn, ListColumnWidth);
    DBG_NotesList->setEnabled(false);
    connect(DBG_NotesList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_selectingRow && current.isValid())
                    listRowChosen(current.row());
            });
    connect(DBG_NotesList->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    DBG_NotesListColEnter();
            });

    DBRE_Notatka = new QTextEdit(splitter);
    DBRE_Notatka->setObjectName(QStringLiteral("DBRE_Notatka"));
    DBRE_Notatka->setAcceptRichText(true);
    DBRE_Notatka->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The widget's font is the document's default, the face of text without a format of its own.
    DBRE_Notatka->setFont(tahoma(9));
    QPalette palette = DBRE_Notatka->palette();
    palette.setColor(QPalette::Text, DefaultTextColor);
    // The selection stays visible when the editor loses the focus.
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    DBRE_Notatka->setPalette(palette);
    DBRE_Notatka->setEnabled(false);
    connect(DBRE_Notatka->document(), &QTextDocument::contentsChanged, this,
            &TF_Notes::editorChanged);
    connect(DBRE_Notatka, &QTextEdit::cursorPositionChanged, this,
            &TF_Notes::DBRE_NotatkaSelectionChange);
    connect(DBRE_Notatka, &QTextEdit::selectionChanged, this,
            &TF_Notes::DBRE_NotatkaSelectionChange);

    splitter->addWidget(DBG_NotesList);
    splitter->addWidget(DBRE_Notatka);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ListPaneWidth, DesignSize.width() - ListPaneWidth});
    setCentralWidget(splitter);
}

void TF_Notes::buildMenus()
{
    QMenu *note = menuBar()->addMenu(QStringLiteral("Notatka"));
    Dodajnow1 = newAction(this, "Dodajnow1", QStringLiteral("Dodaj nową"));
    Usu1 = newAction(this, "Usu1", QStringLiteral("Usuń"));
    Drukuj1 = newAction(this, "Drukuj1", QStringLiteral("Drukuj"));
    Dodajnow1->setShortcut(QKeySequence::New);
    Drukuj1->setShortcut(QKeySequence::Print);
    note->addActions({Dodajnow1, Usu1, Drukuj1});

    QMenu *edit = menuBar()->addMenu(QStringLiteral("Edycja"));
    Cofnij1 = newAction(this, "Cofnij1", QStringLiteral("Cofnij"));
    Wytnij1 = newAction(this, "Wytnij1", QStringLiteral("Wytnij"));
    Kopiuj1 = newAction(this, "Kopiuj1", QStringLiteral("Kopiuj"));
    Wklej1 = newAction(this, "Wklej1", QStringLiteral("Wklej"));
    edit->addAction(Cofnij1);
    edit->addSeparator();
    edit->addActions({Wytnij1, Kopiuj1, Wklej1});
    for (QAction *action : {Cofnij1, Wytnij1, Kopiuj1})
        action->setEnabled(false);

    Format1 = newAction(this, "Format1", QStringLiteral("Format"));
    menuBar()->addAction(Format1);

    connect(Dodajnow1, &QAction::triggered, this, &TF_Notes::TB_NewClick);
    connect(Usu1, &QAction::triggered, this, &TF_Notes::TD_DeleteClick);
    connect(Drukuj1, &QAction::triggered, this, &TF_Notes::TD_PrintClick);
    connect(Cofnij1, &QAction::triggered, this, &TF_Notes::TB_UndoClick);
    connect(Wytnij1, &QAction::triggered, this, &TF_Notes::TB_CutClick);
    connect(Kopiuj1, &QAction::triggered, this, &TF_Notes::TB_CopyClick);
    connect(Wklej1, &QAction::triggered, this, &TF_Notes::TB_PasteClick);
    connect(Format1, &QAction::triggered, this, &TF_Notes::Format1Click);
}

void TF_Notes::buildToolBars()
{
    const auto toolBar = [this](const char *name, const QString &title) {
        auto *bar = new QToolBar(title, this);
        bar->setObjectName(QLatin1String(name));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };

    m_notesBar = toolBar("notesToolBar", QStringLiteral("Notatki"));
    TB_New = newAction(this, "TB_New", QStringLiteral("Nowa"));
    TB_New->setStatusTip(QStringLiteral("Tworzy nową notatkę"));
    TD_Delete = newAction(this, "TD_Delete", QStringLiteral("Usuń"));
    TD_Delete->setStatusTip(QStringLiteral("Usuwa wybraną notatkę"));
    TD_Print = newAction(this, "TD_Print", QStringLiteral("Drukuj"));
    m_notesBar->addActions({TB_New, TD_Delete, TD_Print});
    for (QAction *action : {TB_New, TD_Delete}) {
        if (QWidget *button = m_notesBar->widgetForAction(action))
            button->installEventFilter(new NoToolTip(button));
    }

    m_editBar = toolBar("editToolBar", QStringLiteral("Edycja"));
    TB_Undo = newAction(this, "TB_Undo", QStringLiteral("Cofnij"));
    TB_Cut = newAction(this, "TB_Cut", QStringLiteral("Wytnij"));
    TB_Copy = newAction(this, "TB_Copy", QStringLiteral("Kopiuj"));
    TB_Paste = newAction(this, "TB_Paste", QStringLiteral("Wklej"));
    m_editBar->addActions({TB_Undo, TB_Cut, TB_Copy, TB_Paste});

    m_formatBar = toolBar("formatToolBar", QStringLiteral("Format"));
    JFCB_Font = new QFontComboBox(m_formatBar);
    JFCB_Font->setObjectName(QStringLiteral("JFCB_Font"));
    JFCB_Font->setFontFilters(QFontComboBox::AllFonts);
    JFCB_Font->setCurrentFont(QFont(QStringLiteral("MS Sans Serif")));
    JFCB_Font->setMaximumWidth(140);
    CB_FontSize = new QComboBox(m_formatBar);
    CB_FontSize->setObjectName(QStringLiteral("CB_FontSize"));
    CB_FontSize->setEditable(true);
    CB_FontSize->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 9; size <= 20; ++size)
        CB_FontSize->addItem(QString::number(size));
    CB_FontSize->setCurrentIndex(0);
    CB_FontSize->setMinimumContentsLength(3);
    JCCB_FontColor = new ColorComboBox(m_formatBar);
    JCCB_FontColor->setObjectName(QStringLiteral("JCCB_FontColor"));
    JCCB_FontColor->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    JCCB_FontColor->setMinimumContentsLength(11);
    m_formatBar->addWidget(JFCB_Font);
    m_formatBar->addWidget(CB_FontSize);
    m_formatBar->addWidget(JCCB_FontColor);

    struct Style
    {
        QAction *&action;
        const char *name;
        const char *letter;
        const char *tip;
        void (QFont::*apply)(bool);
        void (TF_Notes::*handler)(bool);
    };
    const Style styles[] = {
        {TB_Bold, "TB_Bold", "B", "Pogrubienie", &QFont::setBold, &TF_Notes::TB_BoldClick},
        {TB_Italic, "TB_Italic", "I", "Kursywa", &QFont::setItalic, &TF_Notes::TB_ItalicClick},
        {TB_Underline, "TB_Underline", "U", "Podkreślienie", &QFont::setUnderline,
         &TF_Notes::TB_UnderlineClick},
        {TB_StrikeOut, "TB_StrikeOut", "S", "Przekreślenie", &QFont::setStrikeOut,
         &TF_Notes::TB_StrikeOutClick},
    };
    for (const Style &style : styles) {
        style.action = newAction(this, style.name, QLatin1String(style.letter));
        style.action->setCheckable(true);
        style.action->setToolTip(QString::fromUtf8(style.tip));
        QFont font = style.action->font();
        (font.*style.apply)(true);
        style.action->setFont(font);
        m_formatBar->addAction(style.action);
        connect(style.action, &QAction::triggered, this, style.handler);
    }

    for (QAction *action : {TD_Delete, TD_Print, TB_Undo, TB_Cut, TB_Copy, TB_Paste, TB_Bold,
                            TB_Italic, TB_Underline, TB_StrikeOut})
        action->setEnabled(false);
    JFCB_Font->setEnabled(false);
    JCCB_FontColor->setEnabled(false);

    connect(TB_New, &QAction::triggered, this, &TF_Notes::TB_NewClick);
    connect(TD_Delete, &QAction::triggered, this, &TF_Notes::TD_DeleteClick);
    connect(TD_Print, &QAction::triggered, this, &TF_Notes::TD_PrintClick);
    connect(TB_Undo, &QAction::triggered, this, &TF_Notes::TB_UndoClick);
    connect(TB_Cut, &QAction::triggered, this, &TF_Notes::TB_CutClick);
    connect(TB_Copy, &QAction::triggered, this, &TF_Notes::TB_CopyClick);
    connect(TB_Paste, &QAction::triggered, this, &TF_Notes::TB_PasteClick);
    // Only the user's choices format the text; the refresh from the caret does not.
    connect(JFCB_Font, &QComboBox::activated, this, &TF_Notes::JFCB_FontChange);
    connect(CB_FontSize->lineEdit(), &QLineEdit::textEdited, this, &TF_Notes::CB_FontSizeChange);
    connect(CB_FontSize, &QComboBox::activated, this, [this](int index) {
        CB_FontSizeChange(CB_FontSize->itemText(index));
        DBRE_Notatka->setFocus();
    });
    connect(JCCB_FontColor, &ColorComboBox::colorChosen, this, &TF_Notes::JCCB_FontColorChange);
}

// ---------------------------------------------------------------------------
// Life cycle

void TF_Notes::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TF_Notes::closeEvent(QCloseEvent *event)
{
    event->accept();
    FormClose();
}

void TF_Notes::FormShow()
{
    if (!FST_Notes.isOpen()) {
        const QScopedValueRollback<bool> syncing(m_selectingRow, true);
        runGuarded(this, [this] { FST_Notes.open(Database::connection()); });
    }
    UpdateNoteControls();
    DBRE_NotatkaSelectionChange();
}

void TF_Notes::FormClose()
{
    saveCurrentNote(this);
}

// ---------------------------------------------------------------------------
// Notes

void TF_Notes::TB_NewClick()
{
    if (!saveCurrentNote(this))
        return;
    if (!FST_Notes.isOpen())
        return;
    const QDateTime moment = m_options.clock();
    const QString header = QStringLiteral("Notatka dodana ")
        + moment.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("\r\n");
    {
        const QScopedValueRollback<bool> syncing(m_selectingRow, true);
        FST_Notes.insert(moment, header.toUtf8());
        const bool stored = runGuarded(this, [this] { FST_Notes.post(); });
        if (!stored) {
            FST_Notes.cancel();
            return;
        }
    }
    UpdateNoteControls();

    FST_Notes.edit();
    DBRE_Notatka->setFocus();
    DBRE_Notatka->selectAll();
    QTextCharFormat headerFormat;
    headerFormat.setFontWeight(QFont::Bold);
    headerFormat.setFontFamilies({QStringLiteral("Tahoma")});
    headerFormat.setFontPointSize(9);
    headerFormat.setForeground(DefaultTextColor);
    DBRE_Notatka->mergeCurrentCharFormat(headerFormat);

    QTextCursor cursor = DBRE_Notatka->textCursor();
    cursor.setPosition(cursor.selectionEnd());
    QTextCharFormat regular;
    regular.setFontWeight(QFont::Normal);
    regular.setFontItalic(false);
    regular.setFontUnderline(false);
    regular.setFontStrikeOut(false);
    // The empty line under the header must not inherit its weight.
    if (cursor.block().length() <= 1)
        cursor.mergeBlockCharFormat(regular);
    DBRE_Notatka->setTextCursor(cursor);
    DBRE_Notatka->mergeCurrentCharFormat(regular);
    DBRE_NotatkaSelectionChange();
}

void TF_Notes::TD_DeleteClick()
{
    if (FST_Notes.currentId()
        && MessageBoxes::question(this, QStringLiteral("Potwierdzenie usunięcia notatki"),
                                  QStringLiteral("Czy na pewno chcesz usunąć notatkę?"))) {
        const QScopedValueRollback<bool> syncing(m_selectingRow, true);
        if (runGuarded(this, [this] { FST_Notes.remove(); })) {
            m_autosaveTimer->stop();
            m_saveFailureShown = false;
        }
    }
    UpdateNoteControls();
}

void TF_Notes::TD_PrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printJobName());
    if (!m_options.printDialog(&printer, this))
        return;
    DBRE_Notatka->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        MessageBoxes::error(this, QStringLiteral("Nie można wydrukować notatki"));
}

// ---------------------------------------------------------------------------
// Editing

void TF_Notes::TB_UndoClick()
{
    DBRE_Notatka->undo();
}

void TF_Notes::TB_CutClick()
{
    DBRE_Notatka->cut();
}

void TF_Notes::TB_CopyClick()
{
    DBRE_Notatka->copy();
}

void TF_Notes::TB_PasteClick()
{
    // Without a note nothing pasted could be kept.
    if (DBRE_Notatka->isEnabled())
        DBRE_Notatka->paste();
}

void TF_Notes::EnsureNoteEditing()
{
    if (FST_Notes.isOpen() && FST_Notes.currentIndex() >= 0
        && FST_Notes.state() == NotesTable::State::Browsing)
        FST_Notes.edit();
}

void TF_Notes::applyFormat(const QTextCharFormat &format)
{
    DBRE_Notatka->mergeCurrentCharFormat(format);
}

void TF_Notes::JFCB_FontChange()
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontFamilies({JFCB_Font->currentFont().family()});
    applyFormat(format);
    DBRE_Notatka->setFocus();
}

void TF_Notes::CB_FontSizeChange(const QString &text)
{
    EnsureNoteEditing();
    bool whole = false;
    const int points = text.trimmed().toInt(&whole);
    if (!whole || points < 1 || points > MaxPointSize)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    applyFormat(format);
}

void TF_Notes::JCCB_FontColorChange(const QColor &color)
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setForeground(color);
    applyFormat(format);
    DBRE_Notatka->setFocus();
}

void TF_Notes::TB_BoldClick(bool down)
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontWeight(down ? QFont::Bold : QFont::Normal);
    applyFormat(format);
}

void TF_Notes::TB_ItalicClick(bool down)
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontItalic(down);
    applyFormat(format);
}

void TF_Notes::TB_UnderlineClick(bool down)
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontUnderline(down);
    applyFormat(format);
}

void TF_Notes::TB_StrikeOutClick(bool down)
{
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontStrikeOut(down);
    applyFormat(format);
}

void TF_Notes::Format1Click()
{
    const QFont current
        = DBRE_Notatka->currentCharFormat().font().resolve(DBRE_Notatka->document()->defaultFont());
    const std::optional<QFont> chosen = m_options.fontDialog(current, this);
    if (!chosen)
        return;
    EnsureNoteEditing();
    QTextCharFormat format;
    format.setFontFamilies({chosen->family()});
    if (chosen->pointSizeF() > 0)
        format.setFontPointSize(chosen->pointSizeF());
    format.setFontWeight(chosen->weight());
    format.setFontItalic(chosen->italic());
    format.setFontUnderline(chosen->underline());
    format.setFontStrikeOut(chosen->strikeOut());
    applyFormat(format);
    DBRE_NotatkaSelectionChange();
}

// ---------------------------------------------------------------------------
// Controls following the notes and the caret

void TF_Notes::DBRE_NotatkaSelectionChange()
{
    if (m_refreshing)
        return;
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    const QTextCharFormat format = DBRE_Notatka->currentCharFormat();
    const QFont font = format.font().resolve(DBRE_Notatka->document()->defaultFont());
    {
        const QSignalBlocker blocker(JFCB_Font);
        JFCB_Font->setCurrentFont(font);
    }
    TB_Bold->setChecked(font.weight() > QFont::Medium);
    TB_Italic->setChecked(font.italic());
    TB_Underline->setChecked(font.underline());
    TB_StrikeOut->setChecked(font.strikeOut());
    if (!CB_FontSize->lineEdit()->hasFocus()) {
        const QSignalBlocker blocker(CB_FontSize);
        CB_FontSize->setEditText(QString::number(qRound(font.pointSizeF())));
    }
    JCCB_FontColor->setColor(format.hasProperty(QTextFormat::ForegroundBrush)
                                 ? format.foreground().color()
                                 : DefaultTextColor);
    UpdateEditCommands(true);
}

void TF_Notes::DBG_NotesListColEnter()
{
    UpdateEditCommands(true);
}

void TF_Notes::UpdateNoteControls()
{
    const bool notesExist = FST_Notes.isOpen() && FST_Notes.count() > 0;
    for (QAction *action :
         {TD_Delete, TB_Bold, TB_Italic, TB_Underline, TB_StrikeOut, TD_Print, TB_Paste})
        action->setEnabled(notesExist);
    for (QWidget *widget : std::initializer_list<QWidget *> {JFCB_Font, CB_FontSize, JCCB_FontColor,
                                                             DBG_NotesList, DBRE_Notatka})
        widget->setEnabled(notesExist);
    UpdateEditCommands(notesExist);
}

void TF_Notes::UpdateEditCommands(bool enabled)
{
    Format1->setEnabled(enabled);
    if (!enabled) {
        for (QAction *action : {TB_Cut, TB_Copy, TB_Undo, Wytnij1, Format1, Kopiuj1, Wklej1})
            action->setEnabled(false);
        return;
    }
    const bool canUndo = DBRE_Notatka->document()->isUndoAvailable();
    TB_Undo->setEnabled(canUndo);
    Cofnij1->setEnabled(canUndo);
    const bool selected = DBRE_Notatka->textCursor().hasSelection();
    for (QAction *action : {TB_Cut, TB_Copy, Wytnij1, Kopiuj1})
        action->setEnabled(selected);
    Format1->setEnabled(true);
}

// ---------------------------------------------------------------------------
// Storing

bool TF_Notes::saveCurrentNote(QWidget *boxParent)
{
    using State = NotesTable::State;
    if (FST_Notes.state() != State::Editing && FST_Notes.state() != State::Inserting)
        return true;
    m_autosaveTimer->stop();
    QTextDocument *document = DBRE_Notatka->document();
    if (FST_Notes.state() == State::Editing && !document->isModified()) {
        FST_Notes.cancel();
        return true;
    }
    FST_Notes.setContent(RtfEditing::save(*DBRE_Notatka));
    try {
        FST_Notes.post();
    } catch (const Error &error) {
        // The text stays in the editor and the note stays pending: the next
        // save point tries again.
        if (!m_saveFailureShown) {
            m_saveFailureShown = true;
            MessageBoxes::error(boxParent, error.message());
        }
        return false;
    }
    document->setModified(false);
    m_saveFailureShown = false;
    return true;
}

void TF_Notes::autosave()
{
    if (FST_Notes.state() != NotesTable::State::Editing || !DBRE_Notatka->document()->isModified())
        return;
    if (saveCurrentNote(this)) {
        FST_Notes.edit();
        emit autosaved();
    }
}

void TF_Notes::editorChanged()
{
    if (m_loading || FST_Notes.currentIndex() < 0)
        return;
    EnsureNoteEditing();
    m_autosaveTimer->start();
}

void TF_Notes::loadCurrentNote()
{
    m_autosaveTimer->stop();
    const QScopedValueRollback<bool> loading(m_loading, true);
    QByteArray content;
    if (FST_Notes.currentIndex() >= 0)
        runGuarded(this, [&] { content = FST_Notes.currentContent(); });
    // A damaged note opens with what can be read. Each note comes in a
    // document of its own, so undo never reaches into another note.
    RtfEditing::load(DBRE_Notatka, content);
    connect(DBRE_Notatka->document(), &QTextDocument::contentsChanged, this,
            &TF_Notes::editorChanged, Qt::UniqueConnection);
    DBRE_NotatkaSelectionChange();
}

void TF_Notes::listRowChosen(int row)
{
    if (row == FST_Notes.currentIndex())
        return;
    if (!saveCurrentNote(this)) {
        // The note keeps the list until its change is stored.
        QTimer::singleShot(0, this, [this] { selectListRow(FST_Notes.currentIndex()); });
        return;
    }
    FST_Notes.setCurrentIndex(row);
}

void TF_Notes::selectListRow(int row)
{
    const QScopedValueRollback<bool> selecting(m_selectingRow, true);
    if (row < 0) {
        DBG_NotesList->selectionModel()->clear();
        return;
    }
    const QModelIndex index = FST_Notes.index(row, NotesTable::AddedColumn);
    DBG_NotesList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBG_NotesList->scrollTo(index);
}
