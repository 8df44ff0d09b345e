#include "frameanimation.h"

#include <QPainter>
#include <QTimer>

FrameAnimation::FrameAnimation(QList<QPixmap> frames, int intervalMs, QWidget *parent)
    : QWidget(parent), m_frames(std::move(frames)), m_timer(new QTimer(this))
{
    m_timer->setInterval(intervalMs);
    connect(m_timer, &QTimer::timeout, this, &FrameAnimation::advance);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(sizeHint());
}

void FrameAnimation::start()
{
    if (m_timer->isActive())
        return;
    m_current = 0;
    m_timer->start();
    update();
}

void FrameAnimation::stop()
{
    m_timer->stop();
}

bool FrameAnimation::isRunning() const
{
    return m_timer->isActive();
}

int FrameAnimation::interval() const
{
    return m_timer->interval();
}

QSize FrameAnimation::sizeHint() const
{
    return m_frames.isEmpty() ? QSize(0, 0) : m_frames.first().deviceIndependentSize().toSize();
}

void FrameAnimation::advance()
{
    if (m_frames.isEmpty())
        return;
    m_current = (m_current + 1) % int(m_frames.size());
    update();
}

void FrameAnimation::paintEvent(QPaintEvent *)
{
    if (m_frames.isEmpty())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_frames.at(m_current));
}
