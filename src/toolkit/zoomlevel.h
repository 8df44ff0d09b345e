#pragma once

#include <QObject>

// A zoom shared by the views that read together (the library's documents and
// the help, or a question and its answers), kept for the run of the program.
class ZoomLevel : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZoomLevel)

public:
    static constexpr int Normal = 100;
    static constexpr int Minimum = 50;
    static constexpr int Maximum = 300;

    explicit ZoomLevel(QObject *parent = nullptr) : QObject(parent) { }

    int percent() const { return m_percent; }
    qreal factor() const { return m_percent / 100.0; }
    // Kept between Minimum and Maximum.
    void setPercent(int percent);

public slots:
    void zoomIn();
    void zoomOut();
    void reset() { setPercent(Normal); }

signals:
    void changed(int percent);

private:
    int m_percent = Normal;
};
