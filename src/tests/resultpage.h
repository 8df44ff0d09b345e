#pragma once

#include "testset.h"

#include <QWidget>

class FrameAnimation;
class QLabel;
class QPushButton;

// The page that shows how a test went: the counts, the percentage, the
// verdict with its animation, and the four ways on.
class ResultPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultPage)

public:
    static inline const QColor Background{202, 202, 255};
    static constexpr int Gap = 4;

    explicit ResultPage(const TestMode &mode, QWidget *parent = nullptr);

    void showResult(const Scoring::Result &result);
    // Centres the lines, the verdict, the animations and the buttons on the page.
    void layoutContents();

    // Left edge of a caption whose value follows it Gap pixels on, the pair
    // centred on a page of the width.
    static int centredPairLeft(int pageWidth, int captionWidth, int valueWidth);

    FrameAnimation *passAnimation() const { return m_pass; }
    FrameAnimation *failAnimation() const { return m_fail; }

signals:
    void reviewRequested();
    void newTestRequested();
    void repeatRequested();
    void retakeRequested();
    void endRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *label(const char *name, const QString &text);

    QWidget *m_background;
    QLabel *m_rightCaption;
    QLabel *m_right;
    QLabel *m_wrongCaption;
    QLabel *m_wrong;
    QLabel *m_percentCaption;
    QLabel *m_percent;
    QLabel *m_summary;
    FrameAnimation *m_pass;
    FrameAnimation *m_fail;
    QList<QPushButton *> m_buttons;
    const TestMode &m_mode;
};
