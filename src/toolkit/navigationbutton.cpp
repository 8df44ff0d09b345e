#include "navigationbutton.h"

#include <QPainter>
#include <QStyleOption>

namespace {

const QColor HoverFill(255, 255, 255, 150);
const QColor HoverText(0, 0, 160);
const QColor LinkText(0, 0, 255);
constexpr int IconGap = 4;

} // namespace

NavigationButton::NavigationButton(const QString &caption, Kind kind, QWidget *parent)
    : QAbstractButton(parent), m_kind(kind)
{
    setText(caption);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    if (kind != Kind::Filler)
        setCursor(Qt::PointingHandCursor);
    else
        setEnabled(false);
}

QFont NavigationButton::captionFont() const
{
    QFont f = font();
    if (m_hovered && m_kind == Kind::Link)
        f.setUnderline(true);
    if (m_hovered && m_boldOnHover)
        f.setBold(true);
    return f;
}

QSize NavigationButton::sizeHint() const
{
    // Room for the widest look of the caption, so that hovering never clips it.
    QFont widest = font();
    widest.setBold(m_boldOnHover);
    const int textWidth = QFontMetrics(widest).horizontalAdvance(text());
    const int iconWidth = icon().isNull() ? 0 : iconSize().width() + IconGap;
    return {textWidth + iconWidth + 8, 28};
}

void NavigationButton::enterEvent(QEnterEvent *event)
{
    m_hovered = m_kind != Kind::Filler;
    update();
    QAbstractButton::enterEvent(event);
}

void NavigationButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void NavigationButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_hovered && m_kind == Kind::Button)
        painter.fillRect(rect().adjusted(1, 2, -1, -2), HoverFill);
    if (isDown())
        painter.fillRect(rect().adjusted(1, 2, -1, -2), QColor(0, 0, 0, 30));

    const QFont f = captionFont();
    painter.setFont(f);
    const QFontMetrics metrics(f);
    const int textWidth = metrics.horizontalAdvance(text());
    const bool hasIcon = !icon().isNull();
    const int contentWidth = textWidth + (hasIcon ? iconSize().width() + IconGap : 0);
    int x = m_alignment & Qt::AlignLeft ? 4 : (width() - contentWidth) / 2;
    if (hasIcon) {
        const QSize size = iconSize();
        icon().paint(&painter, QRect(QPoint(x, (height() - size.height()) / 2), size));
        x += size.width() + IconGap;
    }
    QColor colour = palette().color(QPalette::ButtonText);
    if (m_hovered)
        colour = m_kind == Kind::Link ? LinkText : HoverText;
    painter.setPen(colour);
    painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}
