#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QWidget>

// The program's pictures, drawn from vector sources at the size asked for.
namespace Pictures {

inline constexpr QSize SplashSize{638, 527};
inline constexpr QSize BannerSize{510, 110};

// The light bulb between two lightning bolts in a blue frame.
QPixmap emblem(const QSize &size);
// The splash picture: the title, the emblem and the credits.
QPixmap splash();
// The about page's welcome banner with its three lines.
QPixmap banner();
// One of the small icons (save, print, help, notes), square, of the size given.
QIcon icon(const QString &name, int size);

// A picture shown centred at its own size, scaled down with its proportions
// kept when there is less room.
class ScaledPicture : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScaledPicture)

public:
    explicit ScaledPicture(const QPixmap &pixmap, QWidget *parent = nullptr);

    QSize sizeHint() const override { return m_pixmap.size(); }
    QSize minimumSizeHint() const override { return {32, 32}; }
    // Where the picture is drawn at the widget's present size.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_pixmap;
};

} // namespace Pictures
