#include "searchresultsview.h"

#include "tests/thematicdraw.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Item data of the list: what a row is and where its match is kept.
constexpr int KindRole = Qt::UserRole;
constexpr int GroupRole = Qt::UserRole + 1;
constexpr int HitRole = Qt::UserRole + 2;
constexpr int HtmlRole = Qt::UserRole + 3;
enum Kind { DocumentGroupRow, DocumentHitRow, QuestionGroupRow, QuestionHitRow };

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString hitHtml(const SearchEverywhere::Hit &hit)
{
    return escaped(hit.before) + QStringLiteral("<b>") + escaped(hit.match) + QStringLiteral("</b>")
        + escaped(hit.after);
}

const QString FieldNames[BankQuestion::FieldCount] = {
    QStringLiteral("treść pytania"),
    QStringLiteral("odpowiedź A"),
    QStringLiteral("odpowiedź B"),
    QStringLiteral("odpowiedź C"),
};

// Paints a row's rich text, so that the phrase stands out in bold, wrapped
// to the width of the list.
class HtmlDelegate : public QStyledItemDelegate
{
public:
    explicit HtmlDelegate(QTreeWidget *list) : QStyledItemDelegate(list), m_list(list) { }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        QTextDocument document;
        prepare(document, option, index, area.width());
        painter->save();
        painter->translate(area.topLeft());
        painter->setClipRect(area.translated(-area.topLeft()));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = option.palette;
        if (option.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text,
                                     option.palette.color(QPalette::HighlightedText));
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        int depth = 1;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            ++depth;
        const int width = m_list->viewport()->width() - depth * m_list->indentation() - 8;
        QTextDocument document;
        prepare(document, option, index, std::max(width, 80));
        return QSize(int(document.idealWidth()), int(document.size().height()) + 2);
    }

private:
    static void prepare(QTextDocument &document, const QStyleOptionViewItem &option,
                        const QModelIndex &index, int width)
    {
        document.setDocumentMargin(1);
        document.setDefaultFont(option.font);
        document.setHtml(index.data(HtmlRole).toString());
        document.setTextWidth(width);
    }

    QTreeWidget *m_list;
};

} // namespace

SearchResultsView::SearchResultsView(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SearchResultsView"));
    setWindowTitle(QStringLiteral("Wyniki wyszukiwania"));
    resize(640, 520);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("L_SearchSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::RichText);
    CB_PolishLetters = new QCheckBox(QStringLiteral("Uwzględniaj polskie znaki"), this);
    CB_PolishLetters->setObjectName(QStringLiteral("CB_PolishLetters"));
    CB_PolishLetters->setToolTip(
        QStringLiteral("Bez zaznaczenia „zrodlo” znajduje także „źródło”"));
    connect(CB_PolishLetters, &QCheckBox::toggled, this, &SearchResultsView::polishLettersToggled);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_list = new QTreeWidget(splitter);
    m_list->setObjectName(QStringLiteral("TV_SearchResults"));
    m_list->setHeaderHidden(true);
    m_list->setUniformRowHeights(false);
    m_list->setItemDelegate(new HtmlDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // rows wrap to a steady width
    m_list->header()->setStretchLastSection(true);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemClicked, this, &SearchResultsView::choose);
    connect(m_list, &QTreeWidget::itemActivated, this, &SearchResultsView::choose);
    m_question = new QTextBrowser(splitter);
    m_question->setObjectName(QStringLiteral("TB_SearchQuestion"));
    m_question->setReadOnly(true);
    m_question->hide();
    splitter->addWidget(m_list);
    splitter->addWidget(m_question);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(CB_PolishLetters);
    layout->addWidget(splitter, 1);
}

bool SearchResultsView::polishLetters() const
{
    return CB_PolishLetters->isChecked();
}

QString SearchResultsView::sectionCaption(int idDzial)
{
    for (const ThematicSection &section : ThematicDraw::ThematicSections()) {
        if (section.idDzial == idDzial)
            return QString::fromUtf16(section.caption).trimmed();
    }
    return QStringLiteral("Dział %1").arg(idDzial);
}

void SearchResultsView::setResults(const SearchEverywhere::Results &results)
{
    m_results = results;
    m_list->clear();
    m_question->hide();
    if (results.phrase.isEmpty()) {
        m_summary->setText(QStringLiteral("Wpisz szukaną frazę w polu „Szukanie”."));
        return;
    }
    m_summary->setText(
        QStringLiteral("<b>„%1”</b>: %2").arg(escaped(results.phrase), escaped(results.summary())));

    // Built apart and added at once: a thousand rows added one by one cost
    // the list a layout each.
    const auto row = [](Kind kind, int group, int hit, const QString &html) {
        auto *item = new QTreeWidgetItem;
        item->setData(0, KindRole, kind);
        item->setData(0, GroupRole, group);
        item->setData(0, HitRole, hit);
        item->setData(0, HtmlRole, html);
        return item;
    };
    QList<QTreeWidgetItem *> groups;
    for (int g = 0; g < results.documents.size(); ++g) {
        const SearchEverywhere::DocumentGroup &group = results.documents.at(g);
        QTreeWidgetItem *top = row(
            DocumentGroupRow, g, -1,
            QStringLiteral("<b>%1</b> (%2)").arg(escaped(group.document.caption)).arg(group.count));
        QList<QTreeWidgetItem *> hits;
        for (int h = 0; h < group.hits.size(); ++h)
            hits.append(row(DocumentHitRow, g, h, hitHtml(group.hits.at(h))));
        top->addChildren(hits);
        groups.append(top);
    }
    if (results.questionMatches > 0) {
        QTreeWidgetItem *top
            = row(QuestionGroupRow, -1, -1,
                  QStringLiteral("<b>Pytania</b> (%1)").arg(results.questionMatches));
        QList<QTreeWidgetItem *> hits;
        for (int h = 0; h < results.questions.size(); ++h) {
            const SearchEverywhere::QuestionHit &hit = results.questions.at(h);
            hits.append(
                row(QuestionHitRow, -1, h,
                    QStringLiteral("<span style=\"color: #555\">Pytanie nr %1, %2, %3</span><br>%4")
                        .arg(hit.question.idPytanie)
                        .arg(escaped(sectionCaption(hit.question.idDzial)), FieldNames[hit.field],
                             hitHtml(hit.hit))));
        }
        top->addChildren(hits);
        groups.append(top);
    }
    m_list->addTopLevelItems(groups);
    m_list->expandAll();
}

void SearchResultsView::choose(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const int group = item->data(0, GroupRole).toInt();
    const int hit = item->data(0, HitRole).toInt();
    switch (item->data(0, KindRole).toInt()) {
    case DocumentHitRow: {
        const SearchEverywhere::DocumentGroup &found = m_results.documents.at(group);
        const SearchEverywhere::Hit &match = found.hits.at(hit);
        emit documentMatchChosen(found.document.nodeIndex, match.position, match.length);
        break;
    }
    case QuestionHitRow:
        showQuestion(m_results.questions.at(hit));
        break;
    default:
        break;
    }
}

void SearchResultsView::showQuestion(const SearchEverywhere::QuestionHit &hit)
{
    const BankQuestion &question = hit.question;
    const auto paragraphs = [](const QString &text) {
        return escaped(text.trimmed()).replace(u'\n', QStringLiteral("<br>"));
    };
    QString html
        = QStringLiteral("<p><b>Pytanie nr %1</b><br><span style=\"color: #555\">%2</span></p>"
                         "<p>%3</p><table cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">")
              .arg(question.idPytanie)
              .arg(escaped(sectionCaption(question.idDzial)),
                   paragraphs(question.text[BankQuestion::Question]));
    for (int i = 0; i < 3; ++i) {
        const QString letter(QChar(u'A' + i));
        const bool right = letter == question.correct;
        html += QStringLiteral("<tr%1><td width=\"24\"><b>%2</b></td><td>%3%4</td></tr>")
                    .arg(right ? QStringLiteral(" style=\"background-color: #c8f0c8\"") : QString(),
                         letter, paragraphs(question.text[BankQuestion::AnswerA + i]),
                         right ? QStringLiteral(" <b>✔ poprawna odpowiedź</b>") : QString());
    }
    html += QStringLiteral("</table>");
    m_question->setHtml(html);
    m_question->show();
}

bool SearchResultsView::eventFilter(QObject *watched, QEvent *event)
{
    // Rows wrap to the width: a new width means new heights.
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        m_list->doItemsLayout();
    return QWidget::eventFilter(watched, event);
}

void SearchResultsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void SearchResultsView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit shownChanged(false);
}
