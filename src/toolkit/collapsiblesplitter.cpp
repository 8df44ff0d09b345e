#include "collapsiblesplitter.h"

#include <QPainter>
#include <QPainterPath>
#include <QSplitterHandle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

class CollapseHandle : public QSplitterHandle
{
public:
    CollapseHandle(Qt::Orientation orientation, CollapsibleSplitter *parent)
        : QSplitterHandle(orientation, parent), m_splitter(parent)
    {
        m_button = new QToolButton(this);
        m_button->setObjectName(QStringLiteral("collapseButton"));
        m_button->setAutoRaise(true);
        m_button->setCursor(Qt::PointingHandCursor);
        m_button->setFixedSize(10, 48);
        m_button->setToolTip(QStringLiteral("Zwiń lub rozwiń panel"));
        // A handle is for the mouse; the keyboard stays with the pages.
        m_button->setFocusPolicy(Qt::NoFocus);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch();
        layout->addWidget(m_button);
        layout->addStretch();
        QObject::connect(m_button, &QToolButton::clicked, parent, &CollapsibleSplitter::toggleSide);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, 0, 0, height());
        painter.drawLine(width() - 1, 0, width() - 1, height());
        // A small arrow on the button pointing where the pane will go.
        const QRect button = m_button->geometry();
        const bool collapsed = m_splitter->isSideCollapsed();
        const int cx = button.center().x();
        const int cy = button.center().y();
        QPainterPath arrow;
        if (collapsed) {
            arrow.moveTo(cx - 2, cy - 4);
            arrow.lineTo(cx + 2, cy);
            arrow.lineTo(cx - 2, cy + 4);
        } else {
            arrow.moveTo(cx + 2, cy - 4);
            arrow.lineTo(cx - 2, cy);
            arrow.lineTo(cx + 2, cy + 4);
        }
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(arrow, palette().color(QPalette::Dark));
    }

private:
    CollapsibleSplitter *m_splitter;
    QToolButton *m_button;
};

} // namespace

CollapsibleSplitter::CollapsibleSplitter(QWidget *parent) : QSplitter(Qt::Horizontal, parent)
{
    setHandleWidth(10);
    setChildrenCollapsible(true);
}

QSplitterHandle *CollapsibleSplitter::createHandle()
{
    return new CollapseHandle(orientation(), this);
}

bool CollapsibleSplitter::isSideCollapsed() const
{
    return count() > 0 && sizes().value(0) == 0;
}

void CollapsibleSplitter::toggleSide()
{
    QList<int> widths = sizes();
    if (widths.size() < 2)
        return;
    const int total = widths[0] + widths[1];
    if (widths[0] > 0) {
        m_restoreWidth = widths[0];
        widths = {0, total};
    } else {
        widths = {m_restoreWidth, std::max(0, total - m_restoreWidth)};
    }
    setSizes(widths);
    if (QSplitterHandle *h = handle(1))
        h->update();
}
