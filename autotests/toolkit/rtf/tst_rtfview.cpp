// The read-only RTF view and the editor's load and save.

#include "rtfview.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

class TestRtfView : public QObject
{
    Q_OBJECT

private slots:
    void showsRtfOnItsBackground();
    void bookmarkLinksScroll();
    void editorRoundTrip();
    void editorLoadsPlainNote();
};

void TestRtfView::showsRtfOnItsBackground()
{
    RtfView view;
    view.setBackgroundColor(QColor(0xff, 0xff, 0xe1));
    QVERIFY(view.setRtf("{\\rtf1{\\colortbl;\\red200\\green0\\blue0;}\\cf1 Pytanie \\u322?}"));
    QCOMPARE(view.toPlainText(), QStringLiteral("Pytanie ł"));
    QVERIFY(view.isReadOnly());
    QCOMPARE(view.backgroundColor(), QColor(0xff, 0xff, 0xe1));
    QCOMPARE(view.viewport()->palette().color(QPalette::Base), QColor(0xff, 0xff, 0xe1));
    // The text keeps its own colour on the view's background.
    QCOMPARE(view.document()->begin().begin().fragment().charFormat().foreground().color(),
             QColor(200, 0, 0));
    QVERIFY(!view.setRtf("{\\rtf1 urwany"));
    QCOMPARE(view.toPlainText(), QStringLiteral("urwany"));
}

void TestRtfView::bookmarkLinksScroll()
{
    QByteArray rtf
        = "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"koniec\"}{\\fldrslt skok}}\\par ";
    for (int i = 0; i < 200; ++i)
        rtf += "wiersz\\par ";
    rtf += "{\\*\\bkmkstart koniec}{\\*\\bkmkend koniec}Koniec}";
    RtfView view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.setRtf(rtf));
    QCOMPARE(view.verticalScrollBar()->value(), 0);
    emit view.anchorClicked(QUrl(QStringLiteral("#koniec")));
    QVERIFY(view.verticalScrollBar()->value() > 0);
    QVERIFY(view.source().isEmpty());
}

void TestRtfView::editorRoundTrip()
{
    QTextEdit editor;
    QVERIFY(RtfEditing::load(&editor, "{\\rtf1 Notatka {\\b wa\\u380?na}}"));
    QVERIFY(!editor.document()->isModified());
    QVERIFY(!editor.document()->isUndoAvailable());
    QCOMPARE(editor.textCursor().position(), 0);

    editor.moveCursor(QTextCursor::End);
    QTest::keyClicks(&editor, QStringLiteral(" dopisek"));
    QVERIFY(editor.document()->isModified());

    QTextEdit reopened;
    QVERIFY(RtfEditing::load(&reopened, RtfEditing::save(editor)));
    QCOMPARE(reopened.toPlainText(), QStringLiteral("Notatka ważna dopisek"));
    QTextCursor cursor(reopened.document());
    cursor.setPosition(10);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
}

void TestRtfView::editorLoadsPlainNote()
{
    QTextEdit editor;
    QVERIFY(RtfEditing::load(&editor, QStringLiteral("zwykły tekst\ndruga linia").toUtf8()));
    QCOMPARE(editor.toPlainText(), QStringLiteral("zwykły tekst\ndruga linia"));
    QVERIFY(RtfEditing::save(editor).startsWith("{\\rtf1"));
}

QTEST_MAIN(TestRtfView)
#include "tst_rtfview.moc"
