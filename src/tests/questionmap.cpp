#include "questionmap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int CellHeight = 18;
constexpr int CellGap = 2;

} // namespace

// The painted strip of cells; only the cells in view are drawn, so a set of
// thousands of questions costs no more than one of twenty.
class QuestionMapCells : public QWidget
{
public:
    explicit QuestionMapCells(QuestionMap *map) : QWidget(map), m_map(map)
    {
        setCursor(Qt::PointingHandCursor);
        QFont small = font();
        small.setPixelSize(10);
        setFont(small);
        setFixedSize(CellGap, CellHeight + 2 * CellGap);
    }

    void setCells(const QList<QuestionMap::Cell> &cells, int current)
    {
        const bool resized = cells.size() != m_cells.size();
        m_cells = cells;
        m_current = current;
        if (resized) {
            const int digits = int(QString::number(std::max<qsizetype>(1, cells.size())).size());
            m_cellWidth = fontMetrics().horizontalAdvance(QString(digits, u'0')) + 8;
            setFixedSize(int(cells.size()) * (m_cellWidth + CellGap) + CellGap,
                         CellHeight + 2 * CellGap);
        }
        update();
    }

    QRect cellRect(int k) const
    {
        return QRect(CellGap + (k - 1) * (m_cellWidth + CellGap), CellGap, m_cellWidth, CellHeight);
    }

    int cellAt(const QPoint &point) const
    {
        const int k = (point.x() - CellGap) / (m_cellWidth + CellGap) + 1;
        return k >= 1 && k <= m_cells.size() && cellRect(k).contains(point) ? k : 0;
    }

    QList<QuestionMap::Cell> m_cells;
    int m_current = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const int step = m_cellWidth + CellGap;
        const int first = std::max(1, (event->rect().left() - CellGap) / step + 1);
        const int last
            = std::min(int(m_cells.size()), (event->rect().right() - CellGap) / step + 1);
        for (int k = first; k <= last; ++k) {
            const QRect r = cellRect(k);
            if (!r.intersects(event->rect()))
                continue;
            painter.fillRect(r, colour(m_cells.at(k - 1)));
            const bool current = k == m_current;
            painter.setPen(current ? QPen(QColor(0, 0, 128), 2)
                                   : QPen(palette().color(QPalette::Mid)));
            painter.drawRect(current ? r.adjusted(1, 1, -1, -1) : r.adjusted(0, 0, -1, -1));
            QFont face = font();
            face.setBold(current);
            painter.setFont(face);
            painter.setPen(Qt::black);
            painter.drawText(r, Qt::AlignCenter, QString::number(k));
        }
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) {
            if (const int k = cellAt(event->position().toPoint()))
                emit m_map->questionClicked(k);
        }
    }

private:
    QColor colour(QuestionMap::Cell cell) const
    {
        switch (cell) {
        case QuestionMap::Cell::Answered:
            return QuestionMap::AnsweredColor;
        case QuestionMap::Cell::Right:
            return QuestionMap::RightColor;
        case QuestionMap::Cell::Wrong:
            return QuestionMap::WrongColor;
        case QuestionMap::Cell::Unanswered:
            break;
        }
        return palette().color(QPalette::Base);
    }

    QuestionMap *m_map;
    int m_cellWidth = 20;
};

QuestionMap::QuestionMap(QWidget *parent) : QScrollArea(parent), m_cells(new QuestionMapCells(this))
{
    setWidget(m_cells);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fitHeight();
    setToolTip(tr("Mapa pytań: kliknij numer, aby przejść do pytania"));
}

void QuestionMap::setCells(const QList<Cell> &cells, int current)
{
    m_cells->setCells(cells, current);
    fitHeight();
    if (current >= 1 && current <= cells.size()) {
        const QRect r = m_cells->cellRect(current);
        ensureVisible(r.center().x(), r.center().y(), r.width() * 2, 0);
    }
}

void QuestionMap::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fitHeight();
}

void QuestionMap::fitHeight()
{
    const bool overflows = m_cells->width() > width();
    setFixedHeight(m_cells->height() + (overflows ? horizontalScrollBar()->sizeHint().height() : 0));
}

QList<QuestionMap::Cell> QuestionMap::cells() const
{
    return m_cells->m_cells;
}

int QuestionMap::current() const
{
    return m_cells->m_current;
}

QRect QuestionMap::cellRect(int k) const
{
    return m_cells->cellRect(k);
}
