#pragma once

#include "data/notestable.h"

#include <QDateTime>
#include <QFont>
#include <QMainWindow>

#include <functional>
#include <optional>

class ColorComboBox;
class QAction;
class QComboBox;
class QFontComboBox;
class QPrinter;
class QTableView;
class QTextCharFormat;
class QTextEdit;
class QTimer;
class QToolBar;

// The notepad: the user's dated notes listed newest first beside a rich-text
// editor of the current one. A change is stored at each save point (closing
// the window, a new note, another note chosen), a moment after the last
// keystroke, and when the window goes with the program.
class TF_Notes : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_Notes)

public:
    struct Options
    {
        std::function<QDateTime()> clock = &QDateTime::currentDateTime;
        // How long after the last change the note is stored on its own.
        int autosaveDelayMs = 2000;
        // Shows the print dialog for the printer; true to print.
        std::function<bool(QPrinter *, QWidget *)> printDialog;
        // Shows the font dialog preset with the font; none when cancelled.
        std::function<std::optional<QFont>(const QFont &, QWidget *)> fontDialog;
        // Asks for a colour of the user's own; invalid when cancelled.
        std::function<QColor(const QColor &, QWidget *)> colorDialog;
    };

    static constexpr QSize DesignSize {762, 455};
    static constexpr int ListPaneWidth = 153;
    static constexpr int ListColumnWidth = 117;

    explicit TF_Notes(QWidget *owner = nullptr);
    TF_Notes(const Options &options, QWidget *owner = nullptr);
    // Stores a change still pending: the program may end with the window open.
    ~TF_Notes() override;

    NotesTable &notes() { return FST_Notes; }
    static QString printJobName();

public slots:
    void TB_NewClick();
    void TD_DeleteClick();
    void TD_PrintClick();
    void TB_UndoClick();
    void TB_CutClick();
    void TB_CopyClick();
    void TB_PasteClick();
    void Format1Click();

signals:
    // A change was stored without a save point, the editor left as it was.
    void autosaved();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildToolBars();

    void FormShow();
    void FormClose();
    void JFCB_FontChange();
    void CB_FontSizeChange(const QString &text);
    void JCCB_FontColorChange(const QColor &color);
    void TB_BoldClick(bool down);
    void TB_ItalicClick(bool down);
    void TB_UnderlineClick(bool down);
    void TB_StrikeOutClick(bool down);
    void DBRE_NotatkaSelectionChange();
    void DBG_NotesListColEnter();

    void EnsureNoteEditing();
    void UpdateNoteControls();
    void UpdateEditCommands(bool enabled);
    void applyFormat(const QTextCharFormat &format);

    // Stores the current note if it was changed, else leaves edit mode.
    // False, with the error shown once, when the store failed; the note is
    // then still pending.
    bool saveCurrentNote(QWidget *boxParent);
    void autosave();
    void editorChanged();
    void loadCurrentNote();
    void listRowChosen(int row);
    void selectListRow(int row);

    Options m_options;
    NotesTable FST_Notes;

    QTableView *DBG_NotesList = nullptr;
    QTextEdit *DBRE_Notatka = nullptr;

    QToolBar *m_notesBar = nullptr;
    QToolBar *m_editBar = nullptr;
    QToolBar *m_formatBar = nullptr;
    QAction *TB_New = nullptr;
    QAction *TD_Delete = nullptr;
    QAction *TD_Print = nullptr;
    QAction *TB_Undo = nullptr;
    QAction *TB_Cut = nullptr;
    QAction *TB_Copy = nullptr;
    QAction *TB_Paste = nullptr;
    QFontComboBox *JFCB_Font = nullptr;
    QComboBox *CB_FontSize = nullptr;
    ColorComboBox *JCCB_FontColor = nullptr;
    QAction *TB_Bold = nullptr;
    QAction *TB_Italic = nullptr;
    QAction *TB_Underline = nullptr;
    QAction *TB_StrikeOut = nullptr;

    QAction *Dodajnow1 = nullptr;
    QAction *Usu1 = nullptr;
    QAction *Drukuj1 = nullptr;
    QAction *Cofnij1 = nullptr;
    QAction *Wytnij1 = nullptr;
    QAction *Kopiuj1 = nullptr;
    QAction *Wklej1 = nullptr;
    QAction *Format1 = nullptr;

    QTimer *m_autosaveTimer = nullptr;
    bool m_loading = false;
    bool m_refreshing = false;
    bool m_selectingRow = false;
    // A failed store is reported once; the next successful one ends the failure.
    bool m_saveFailureShown = false;
};
