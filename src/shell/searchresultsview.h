#pragma once

#include "regulations/searcheverywhere.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// Every match of a phrase in the library and in the question bank, in a
// window beside the main window: the documents in tree order, each with its
// matches in context, then the questions. A question chosen is shown here,
// read-only, with its right answer marked; a document match chosen is for
// the main window to show.
class SearchResultsView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchResultsView)

public:
    explicit SearchResultsView(QWidget *parent = nullptr);

    void setResults(const SearchEverywhere::Results &results);
    const SearchEverywhere::Results &results() const { return m_results; }
    // Whether "Uwzględniaj polskie znaki" is ticked.
    bool polishLetters() const;

    // The caption of a section of the question bank, or its code when unknown.
    static QString sectionCaption(int idDzial);

signals:
    // A match in the document of the tree node at that absolute index.
    void documentMatchChosen(int nodeIndex, int position, int length);
    // The user ticked or unticked "Uwzględniaj polskie znaki": search again.
    void polishLettersToggled(bool polishLetters);
    // The window was shown or hidden: the shown document's matches are lit while it is up.
    void shownChanged(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void choose(QTreeWidgetItem *item);
    void showQuestion(const SearchEverywhere::QuestionHit &hit);

    QLabel *m_summary;
    QCheckBox *CB_PolishLetters;
    QTreeWidget *m_list;
    QTextBrowser *m_question;
    SearchEverywhere::Results m_results;
};
