#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>

#include <optional>

// The notes table walked newest first (descending note_id) with a current
// row, as the notes list shows it: one column, the moment each note was made.
//
// Only the keys and dates are read when the table opens; a note's content is
// read when its row becomes current, so a table of thousands of notes opens
// at once. Every write is one statement and commits at once.
class NotesTable : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotesTable)

public:
    enum class State { Inactive, Browsing, Editing, Inserting };

    static constexpr int AddedColumn = 0;
    // The stored moment of a note as a QDateTime, beside the shown text.
    static constexpr int DateTimeRole = Qt::UserRole;

    explicit NotesTable(QObject *parent = nullptr);
    ~NotesTable() override;

    // Reads the keys and dates; the newest note, if any, becomes current.
    // Raises Error.
    void open(const QSqlDatabase &database);
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    int count() const { return int(m_rows.size()); }
    // -1 when the table holds no row.
    int currentIndex() const { return m_current; }
    // The key of the current note; none without one or before an insert is posted.
    std::optional<qint64> currentId() const;
    QDateTime currentAdded() const;
    // The content of the current note: the pending one while editing or
    // inserting, else as stored. Raises Error.
    QByteArray currentContent();

    // Makes another row current. Only while browsing: a pending change must be
    // posted or cancelled first. False when nothing moved.
    bool setCurrentIndex(int index);

    // Browsing → editing; in any other state nothing changes.
    void edit();
    // A new note at the top, current, in the inserting state until posted.
    // Only while browsing.
    void insert(const QDateTime &added, const QByteArray &content);
    // The content the next post stores (editing or inserting only).
    void setContent(const QByteArray &content);
    // Stores the pending row and returns to browsing. Raises Error; the row
    // then stays pending, so that nothing is lost and it can be posted again.
    void post();
    // Drops the pending change (an unposted insert disappears).
    void cancel();
    // Deletes the current note, a pending change included; the next note
    // becomes current, or the previous one when it was the last. Raises Error.
    void remove();

    // Text of a moment as the list shows it: the system's short date and long time.
    static QString displayText(const QDateTime &moment);
    // The stored text of a moment: ISO 8601 local time.
    static QString storedText(const QDateTime &moment);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // After every change of the current row, to another note or to none.
    void currentChanged(int index);
    void stateChanged(NotesTable::State state);
    // After a row was stored.
    void posted(qint64 noteId);

private:
    struct Row
    {
        qint64 id = 0; // 0 while an insert is pending
        QDateTime added;
    };

    void setState(State state);
    void makeCurrent(int index);

    QSqlDatabase m_database;
    QList<Row> m_rows;
    int m_current = -1;
    State m_state = State::Inactive;
    // Content of the current row, read on demand; while editing, the pending one.
    std::optional<QByteArray> m_content;
    bool m_contentPending = false;
};
