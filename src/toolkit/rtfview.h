#pragma once

#include <QColor>
#include <QPointer>
#include <QTextBrowser>

class QTextEdit;
class ZoomLevel;

// A read-only view of RTF: documents, questions, answers and the help file.
// Links to other places ("#name") scroll the view; other links open outside
// the program.
class RtfView : public QTextBrowser
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RtfView)

public:
    explicit RtfView(QWidget *parent = nullptr);

    // Shows the RTF bytes (plain text when they are not RTF) from the top.
    // Returns false when the RTF is damaged; what could be read is shown.
    bool setRtf(const QByteArray &rtf);

    // The colour behind the text; the text keeps the colours of the RTF.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor &color);

    // The view shows its documents, this one and those loaded later, at the
    // level's size, and Ctrl with the wheel changes the level.
    void setZoomLevel(ZoomLevel *level);
    ZoomLevel *zoomLevel() const;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void followLink(const QUrl &url);
    void applyZoom();

    QPointer<ZoomLevel> m_zoom;
    qreal m_appliedFactor = 1.0;
};

// Loading and saving RTF in an editor, such as the notes editor.
class RtfEditing
{
public:
    // Gives the editor a new document holding the RTF bytes (plain text when
    // they are not RTF, as a note is until it is first saved), with the fonts
    // and margins of the previous one, which goes if the editor owned it. The
    // editor ends up unmodified, without undo history, with the cursor at the
    // start; whoever watched the previous document must watch the new one.
    // Returns false when the RTF is damaged; what could be read is loaded.
    static bool load(QTextEdit *editor, const QByteArray &data, QString *errorMessage = nullptr);

    // The editor's content as RTF.
    static QByteArray save(const QTextEdit &editor);
};
