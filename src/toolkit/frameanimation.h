#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class QTimer;

// Plays a list of frames in a loop, one frame per interval, drawn with their
// transparency over whatever is behind.
class FrameAnimation : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameAnimation)

public:
    explicit FrameAnimation(QList<QPixmap> frames, int intervalMs, QWidget *parent = nullptr);

    // Starts at the first frame when it was not running; a running animation goes on.
    void start();
    void stop();
    bool isRunning() const;
    int currentFrame() const { return m_current; }
    int frameCount() const { return int(m_frames.size()); }
    int interval() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void advance();

    QList<QPixmap> m_frames;
    QTimer *m_timer;
    int m_current = 0;
};
