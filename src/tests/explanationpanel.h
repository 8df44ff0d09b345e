#pragma once

#include <QFrame>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class QLabel;
class QPushButton;

// Why a question's right answer is right, and the library document that
// teaches it.
struct Explanation
{
    QString text; // Markdown
    int itemId = 0;
    QString documentCaption;
};

// The question's explanation; none when the bank has none. Raises Error.
std::optional<Explanation> loadExplanation(const QSqlDatabase &database, int idPytanie);

// The panel under the answers of a reviewed question: the explanation and a
// link to its document.
class ExplanationPanel : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExplanationPanel)

public:
    static inline const QColor Background {255, 255, 229};

    explicit ExplanationPanel(const QString &suffix, QWidget *parent = nullptr);

    // Fills the panel and shows it; none hides it.
    void showExplanation(const std::optional<Explanation> &explanation);
    QString text() const;
    QString linkCaption() const;

signals:
    void documentRequested(int itemId);

private:
    QLabel *m_text;
    QPushButton *m_link;
    int m_itemId = 0;
};
