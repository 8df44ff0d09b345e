#include "explanationpanel.h"

#include "data/sql.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

std::optional<Explanation> loadExplanation(const QSqlDatabase &database, int idPytanie)
{
    QSqlQuery query = Sql::prepare(
        database,
        QStringLiteral("SELECT W.wyjasnienie, W.item_id, T.nazwa FROM pytania_wyjasnienia AS W "
                       "LEFT JOIN tree AS T ON T.item_id = W.item_id WHERE W.id_pytanie = ?"));
    query.addBindValue(idPytanie);
    Sql::exec(query);
    if (!query.next())
        return std::nullopt;
    return Explanation {query.value(0).toString(), query.value(1).toInt(),
                        query.value(2).toString()};
}

ExplanationPanel::ExplanationPanel(const QString &suffix, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("P_Explanation") + suffix);
    setFrameShape(QFrame::StyledPanel);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    setPalette(palette);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    auto *title = new QLabel(tr("Wyjaśnienie"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("L_Explanation") + suffix);
    m_text->setTextFormat(Qt::MarkdownText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_link = new QPushButton(this);
    m_link->setObjectName(QStringLiteral("BB_ReadMore") + suffix);
    m_link->setFlat(true);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setAutoDefault(false);
    m_link->setStyleSheet(
        QStringLiteral("QPushButton { color: blue; text-decoration: underline; border: none; "
                       "text-align: left; padding: 0; }"));
    m_link->setToolTip(tr("Otwiera dokument; do pytania wrócisz, wybierając test w drzewie"));
    layout->addWidget(title);
    layout->addWidget(m_text);
    layout->addWidget(m_link, 0, Qt::AlignLeft);
    connect(m_link, &QPushButton::clicked, this, [this] { emit documentRequested(m_itemId); });
    hide();
}

void ExplanationPanel::showExplanation(const std::optional<Explanation> &explanation)
{
    if (!explanation) {
        m_text->clear();
        m_link->setText(QString());
        m_itemId = 0;
        hide();
        return;
    }
    m_text->setText(explanation->text);
    m_itemId = explanation->itemId;
    m_link->setText(tr("Czytaj więcej: %1").arg(explanation->documentCaption));
    // A document missing from the tree cannot be opened.
    m_link->setVisible(!explanation->documentCaption.isEmpty());
    show();
}

QString ExplanationPanel::text() const
{
    return m_text->text();
}

QString ExplanationPanel::linkCaption() const
{
    return m_link->isHidden() ? QString() : m_link->text();
}
