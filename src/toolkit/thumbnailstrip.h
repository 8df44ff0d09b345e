#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QPixmap>

class PrintPreview;

// A column of small pictures of a preview's pages. Only the thumbnails in
// view are drawn, each once, when it first comes into view; a click shows
// that page in the preview.
class ThumbnailStrip : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThumbnailStrip)

public:
    explicit ThumbnailStrip(QWidget *parent = nullptr);

    PrintPreview *preview() const { return m_preview; }
    void setPreview(PrintPreview *preview);
    void setPageShadowWidth(int pixels) { m_shadow = pixels; }

    // Thumbnails drawn so far and kept.
    int renderedCount() const { return int(m_thumbnails.count()); }
    // The page (from 0) under a point of the viewport, or -1.
    int pageAt(const QPoint &point) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QSize thumbnailSize() const;
    int itemHeight() const;
    void updateScrollBar();
    void currentPageChanged();

    PrintPreview *m_preview = nullptr;
    QCache<int, QPixmap> m_thumbnails;
    int m_shadow = 1;
    int m_shownPage = 0;
    int m_knownPages = 0;
};
