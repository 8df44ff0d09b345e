#include "notestable.h"

#include "sql.h"

#include <QLocale>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString StoredFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The system's long time format without the time zone, which the list has
// no room for and a local moment does not carry.
QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

NotesTable::NotesTable(QObject *parent) : QAbstractTableModel(parent) { }

NotesTable::~NotesTable() = default;

void NotesTable::open(const QSqlDatabase &database)
{
    QSqlQuery query = Sql::exec(database,
                                QStringLiteral("SELECT note_id, row_added_dttm FROM notes "
                                               "ORDER BY note_id DESC"));
    QList<Row> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(),
                     QDateTime::fromString(query.value(1).toString(), Qt::ISODate)});
    beginResetModel();
    m_database = database;
    m_rows = std::move(rows);
    m_current = -1;
    m_content.reset();
    m_contentPending = false;
    endResetModel();
    setState(State::Browsing);
    makeCurrent(m_rows.isEmpty() ? -1 : 0);
}

void NotesTable::close()
{
    beginResetModel();
    m_rows.clear();
    m_content.reset();
    m_contentPending = false;
    endResetModel();
    setState(State::Inactive);
    makeCurrent(-1);
}

std::optional<qint64> NotesTable::currentId() const
{
    if (m_current < 0 || m_rows.at(m_current).id == 0)
        return std::nullopt;
    return m_rows.at(m_current).id;
}

QDateTime NotesTable::currentAdded() const
{
    return m_current < 0 ? QDateTime() : m_rows.at(m_current).added;
}

QByteArray NotesTable::currentContent()
{
    if (m_content)
        return *m_content;
    const std::optional<qint64> id = currentId();
    if (!id)
        return {};
    QSqlQuery query
        = Sql::prepare(m_database, QStringLiteral("SELECT tresc FROM notes WHERE note_id = ?"));
    query.bindValue(0, *id);
    Sql::exec(query);
    m_content = query.next() ? query.value(0).toByteArray() : QByteArray();
    return *m_content;
}

bool NotesTable::setCurrentIndex(int index)
{
    if (m_state != State::Browsing || index < 0 || index >= m_rows.size() || index == m_current)
        return false;
    makeCurrent(index);
    return true;
}

void NotesTable::edit()
{
    if (m_state == State::Browsing && m_current >= 0)
        setState(State::Editing);
}

void NotesTable::insert(const QDateTime &added, const QByteArray &content)
{
    if (m_state != State::Browsing)
        return;
    beginInsertRows({}, 0, 0);
    m_rows.prepend({0, added});
    endInsertRows();
    m_content = content;
    m_contentPending = true;
    m_current = 0;
    setState(State::Inserting);
    emit currentChanged(m_current);
}

void NotesTable::setContent(const QByteArray &content)
{
    if (m_state != State::Editing && m_state != State::Inserting)
        return;
    m_content = content;
    m_contentPending = true;
}

void NotesTable::post()
{
    if (m_state == State::Editing) {
        if (m_contentPending) {
            QSqlQuery update = Sql::prepare(
                m_database, QStringLiteral("UPDATE notes SET tresc = ? WHERE note_id = ?"));
            update.bindValue(0, *m_content);
            update.bindValue(1, m_rows.at(m_current).id);
            Sql::exec(update);
        }
    } else if (m_state == State::Inserting) {
        Row &row = m_rows[m_current];
        QSqlQuery insert = Sql::prepare(m_database,
                                        QStringLiteral("INSERT INTO notes (row_added_dttm, tresc) "
                                                       "VALUES (?, ?)"));
        insert.bindValue(0, storedText(row.added));
        insert.bindValue(1, m_content.value_or(QByteArray()));
        Sql::exec(insert);
        row.id = insert.lastInsertId().toLongLong();
    } else {
        return;
    }
    const qint64 id = m_rows.at(m_current).id;
    m_contentPending = false;
    setState(State::Browsing);
    emit posted(id);
}

void NotesTable::cancel()
{
    if (m_state == State::Editing) {
        m_content.reset();
        m_contentPending = false;
        setState(State::Browsing);
    } else if (m_state == State::Inserting) {
        const int index = m_current;
        beginRemoveRows({}, index, index);
        m_rows.removeAt(index);
        endRemoveRows();
        m_current = -1;
        setState(State::Browsing);
        makeCurrent(m_rows.isEmpty() ? -1 : std::min(index, int(m_rows.size()) - 1));
    }
}

void NotesTable::remove()
{
    if (m_current < 0)
        return;
    if (m_state == State::Inserting) {
        cancel();
        return;
    }
    QSqlQuery deletion
        = Sql::prepare(m_database, QStringLiteral("DELETE FROM notes WHERE note_id = ?"));
    deletion.bindValue(0, m_rows.at(m_current).id);
    Sql::exec(deletion);
    const int index = m_current;
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
    m_current = -1;
    m_contentPending = false;
    setState(State::Browsing);
    makeCurrent(m_rows.isEmpty() ? -1 : std::min(index, int(m_rows.size()) - 1));
}

QString NotesTable::displayText(const QDateTime &moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QLocale::ShortFormat) + u' '
        + locale.toString(moment.time(), longTimeFormat());
}

QString NotesTable::storedText(const QDateTime &moment)
{
    return moment.toString(StoredFormat);
}

int NotesTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int NotesTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant NotesTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() != AddedColumn)
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row.added);
    case DateTimeRole:
        return row.added;
    default:
        return {};
    }
}

QVariant NotesTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == AddedColumn && role == Qt::DisplayRole)
        return QStringLiteral("Czas stworzenia notatki");
    return QAbstractTableModel::headerData(section, orientation, role);
}

void NotesTable::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void NotesTable::makeCurrent(int index)
{
    m_current = index;
    m_content.reset();
    m_contentPending = false;
    emit currentChanged(index);
}
