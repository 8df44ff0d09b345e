#pragma once

#include <QAbstractButton>
#include <QColor>

// A flat button of a navigation bar: an icon and a caption, a hand pointer,
// the caption highlighted while the pointer is over it. As a link it turns
// blue and underlined instead; as a filler it only takes up room.
class NavigationButton : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationButton)

public:
    enum class Kind { Button, Link, Filler };

    explicit NavigationButton(const QString &caption, Kind kind = Kind::Button,
                              QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    bool isHovered() const { return m_hovered; }
    // Whether the caption is drawn bold while the pointer is over the button.
    void setBoldOnHover(bool bold) { m_boldOnHover = bold; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QFont captionFont() const;

    Kind m_kind;
    bool m_hovered = false;
    bool m_boldOnHover = false;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};
