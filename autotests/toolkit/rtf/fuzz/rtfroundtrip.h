#pragma once

// The properties the RTF fuzz targets look for, shared with the test that
// replays their corpus, so that both judge an input alike. Each check returns
// an empty string when the input passes and otherwise what went wrong.

#include <QByteArrayView>
#include <QString>

#include <memory>

class QTextEdit;

// Any bytes read as RTF, written and read again, keep their text; what the
// writer writes reads back without an error.
QString checkRtfRoundTrip(QByteArrayView data);

// Bytes as a script of what a user does in the notes editor: typing text,
// line and paragraph breaks, moving and selecting, deleting, and setting the
// character formats of the notes toolbar (font, size, colour, bold, italic,
// underline, strike-out). The note is saved and loaded the way the notes
// window does it: the text and those formats must come back, and saving
// again must give the same bytes.
class NotesRoundTrip
{
public:
    NotesRoundTrip();
    ~NotesRoundTrip();

    QString check(QByteArrayView script);

private:
    std::unique_ptr<QTextEdit> m_typed;
    std::unique_ptr<QTextEdit> m_loaded;
};
